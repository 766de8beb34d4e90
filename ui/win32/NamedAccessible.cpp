#include "NamedAccessible.h"

#include <utility>

#include "Utf16.h"

namespace brackwin::win32 {

AccessiblePtr NamedAccessible::Create(HWND control, std::wstring name, Text text) {
    IAccessible* standard = StandardObject(control);
    if (standard == nullptr) {
        return nullptr;
    }
    return AccessiblePtr(new NamedAccessible(control, standard, std::move(name), text));
}

NamedAccessible::NamedAccessible(HWND control, IAccessible* standard, std::wstring name, Text text)
    : DelegatingAccessible(control, standard), name_(std::move(name)), text_(text) {}

HRESULT NamedAccessible::get_accName(VARIANT child, BSTR* name) {
    if (!Connected() || !IsSelf(child)) {
        return DelegatingAccessible::get_accName(child, name);
    }
    if (name == nullptr) {
        return E_POINTER;
    }
    *name = MakeBstr(name_);
    return *name != nullptr ? S_OK : E_OUTOFMEMORY;
}

HRESULT NamedAccessible::get_accValue(VARIANT child, BSTR* value) {
    if (!Connected() || !IsSelf(child) || text_ != Text::kAsValue) {
        return DelegatingAccessible::get_accValue(child, value);
    }
    if (value == nullptr) {
        return E_POINTER;
    }
    *value = MakeBstr(GetWideText(Control()));
    return *value != nullptr ? S_OK : E_OUTOFMEMORY;
}

}  // namespace brackwin::win32
