#pragma once

#include <string>

#include "DelegatingAccessible.h"

namespace brackwin::win32 {

// A control that no visible text names, with the name a screen reader speaks for it. A label
// whose text is content rather than a name (the preview) gives that text as its value.
class NamedAccessible final : public DelegatingAccessible {
  public:
    enum class Text { kAsUsual, kAsValue };

    // Null when the system has no standard object for the control.
    static AccessiblePtr Create(HWND control, std::wstring name, Text text);

    HRESULT STDMETHODCALLTYPE get_accName(VARIANT child, BSTR* name) override;
    HRESULT STDMETHODCALLTYPE get_accValue(VARIANT child, BSTR* value) override;

  private:
    NamedAccessible(HWND control, IAccessible* standard, std::wstring name, Text text);

    std::wstring name_;
    Text text_;
};

}  // namespace brackwin::win32
