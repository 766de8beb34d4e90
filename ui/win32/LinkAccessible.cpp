#include "LinkAccessible.h"

#include <string>

#include "TaviLink.h"
#include "Utf16.h"

namespace brackwin::win32 {

AccessiblePtr LinkAccessible::Create(TaviLink& link) {
    IAccessible* standard = StandardObject(link.Handle());
    if (standard == nullptr) {
        return nullptr;
    }
    return AccessiblePtr(new LinkAccessible(link, standard));
}

LinkAccessible::LinkAccessible(TaviLink& link, IAccessible* standard)
    : DelegatingAccessible(link.Handle(), standard), link_(link) {}

HRESULT LinkAccessible::Text(VARIANT child, BSTR* text, std::wstring_view value) {
    if (!Connected()) {
        return CO_E_OBJNOTCONNECTED;
    }
    if (text == nullptr) {
        return E_POINTER;
    }
    *text = nullptr;
    if (!IsSelf(child)) {
        return E_INVALIDARG;
    }
    *text = MakeBstr(value);
    return *text != nullptr ? S_OK : E_OUTOFMEMORY;
}

// A name is read as one line: the caption's line break becomes a space.
HRESULT LinkAccessible::get_accName(VARIANT child, BSTR* name) {
    std::wstring caption = Widen(link_.Caption());
    for (std::size_t lineBreak = caption.find(L"\r\n"); lineBreak != std::wstring::npos;
         lineBreak = caption.find(L"\r\n", lineBreak)) {
        caption.replace(lineBreak, 2, L" ");
    }
    return Text(child, name, caption);
}

HRESULT LinkAccessible::get_accValue(VARIANT child, BSTR* value) {
    return Text(child, value, Widen(link_.Url()));
}

HRESULT LinkAccessible::get_accDefaultAction(VARIANT child, BSTR* action) {
    return Text(child, action, L"開く");
}

HRESULT LinkAccessible::get_accRole(VARIANT child, VARIANT* role) {
    if (!Connected()) {
        return CO_E_OBJNOTCONNECTED;
    }
    if (role == nullptr) {
        return E_POINTER;
    }
    VariantInit(role);
    if (!IsSelf(child)) {
        return E_INVALIDARG;
    }
    role->vt = VT_I4;
    role->lVal = ROLE_SYSTEM_LINK;
    return S_OK;
}

HRESULT LinkAccessible::get_accState(VARIANT child, VARIANT* state) {
    const HRESULT result = DelegatingAccessible::get_accState(child, state);
    if (SUCCEEDED(result) && IsSelf(child) && state->vt == VT_I4) {
        state->lVal |= STATE_SYSTEM_LINKED | STATE_SYSTEM_FOCUSABLE;
    }
    return result;
}

HRESULT LinkAccessible::accDoDefaultAction(VARIANT child) {
    if (!Connected()) {
        return CO_E_OBJNOTCONNECTED;
    }
    if (!IsSelf(child)) {
        return E_INVALIDARG;
    }
    link_.Open();
    return S_OK;
}

}  // namespace brackwin::win32
