#pragma once

#include "DelegatingAccessible.h"

namespace brackwin::win32 {

class TaviLink;

// A hyperlink as a screen reader sees it: a link named by its caption, its target as its value,
// opened by its default action. The system's object knows nothing of the control's class and
// would give it neither a name nor a role.
class LinkAccessible final : public DelegatingAccessible {
  public:
    // The link must outlive the object's connection. Null when the system has no standard object
    // for the control.
    static AccessiblePtr Create(TaviLink& link);

    HRESULT STDMETHODCALLTYPE get_accName(VARIANT child, BSTR* name) override;
    HRESULT STDMETHODCALLTYPE get_accValue(VARIANT child, BSTR* value) override;
    HRESULT STDMETHODCALLTYPE get_accRole(VARIANT child, VARIANT* role) override;
    HRESULT STDMETHODCALLTYPE get_accState(VARIANT child, VARIANT* state) override;
    HRESULT STDMETHODCALLTYPE get_accDefaultAction(VARIANT child, BSTR* action) override;
    HRESULT STDMETHODCALLTYPE accDoDefaultAction(VARIANT child) override;

  private:
    LinkAccessible(TaviLink& link, IAccessible* standard);

    HRESULT Text(VARIANT child, BSTR* text, std::wstring_view value);

    TaviLink& link_;
};

}  // namespace brackwin::win32
