#include "ResultListAccessible.h"

#include <utility>

#include "ShownText.h"
#include "Utf16.h"

namespace brackwin::win32 {

namespace {

LONG ChildId(std::size_t row) {
    return static_cast<LONG>(row + 1);
}

void SetChild(VARIANT* variant, LONG child) {
    variant->vt = VT_I4;
    variant->lVal = child;
}

}  // namespace

AccessiblePtr ResultListAccessible::Create(HWND list, const SortedResultList& results,
                                           std::wstring name) {
    IAccessible* standard = StandardObject(list);
    if (standard == nullptr) {
        return nullptr;
    }
    return AccessiblePtr(new ResultListAccessible(list, standard, results, std::move(name)));
}

ResultListAccessible::ResultListAccessible(HWND list, IAccessible* standard,
                                           const SortedResultList& results, std::wstring name)
    : DelegatingAccessible(list, standard), results_(results), name_(std::move(name)) {}

std::optional<std::size_t> ResultListAccessible::Row(const VARIANT& child) const {
    const LRESULT count = SendMessageW(Control(), LB_GETCOUNT, 0, 0);
    if (child.vt != VT_I4 || child.lVal < 1 || child.lVal > count) {
        return std::nullopt;
    }
    return static_cast<std::size_t>(child.lVal - 1);
}

std::optional<std::size_t> ResultListAccessible::SelectedRow() const {
    const LRESULT selected = SendMessageW(Control(), LB_GETCURSEL, 0, 0);
    if (selected < 0) {
        return std::nullopt;
    }
    return static_cast<std::size_t>(selected);
}

RECT ResultListAccessible::RowOnScreen(std::size_t row) const {
    RECT place{};
    SendMessageW(Control(), LB_GETITEMRECT, row, reinterpret_cast<LPARAM>(&place));
    MapWindowPoints(Control(), nullptr, reinterpret_cast<POINT*>(&place), 2);
    return place;
}

HRESULT ResultListAccessible::get_accChildCount(LONG* count) {
    if (!Connected()) {
        return CO_E_OBJNOTCONNECTED;
    }
    if (count == nullptr) {
        return E_POINTER;
    }
    *count = static_cast<LONG>(SendMessageW(Control(), LB_GETCOUNT, 0, 0));
    return S_OK;
}

HRESULT ResultListAccessible::get_accChild(VARIANT child, IDispatch** object) {
    if (!Connected()) {
        return CO_E_OBJNOTCONNECTED;
    }
    if (object == nullptr) {
        return E_POINTER;
    }
    *object = nullptr;
    return Row(child) ? S_FALSE : E_INVALIDARG;
}

// An entry's name is the text the list draws for it: a huge line is cut as it is on screen.
HRESULT ResultListAccessible::get_accName(VARIANT child, BSTR* name) {
    if (!Connected()) {
        return CO_E_OBJNOTCONNECTED;
    }
    if (name == nullptr) {
        return E_POINTER;
    }
    *name = nullptr;
    std::wstring text;
    if (IsSelf(child)) {
        text = name_;
    } else if (const std::optional<std::size_t> row = Row(child)) {
        if (*row < results_.Count()) {
            text = Widen(ShownLine(results_.Item(*row)));
        }
    } else {
        return E_INVALIDARG;
    }
    *name = MakeBstr(text);
    return *name != nullptr ? S_OK : E_OUTOFMEMORY;
}

HRESULT ResultListAccessible::get_accRole(VARIANT child, VARIANT* role) {
    if (!Connected()) {
        return CO_E_OBJNOTCONNECTED;
    }
    if (role == nullptr) {
        return E_POINTER;
    }
    VariantInit(role);
    if (IsSelf(child)) {
        SetChild(role, ROLE_SYSTEM_LIST);
    } else if (Row(child)) {
        SetChild(role, ROLE_SYSTEM_LISTITEM);
    } else {
        return E_INVALIDARG;
    }
    return S_OK;
}

HRESULT ResultListAccessible::get_accState(VARIANT child, VARIANT* state) {
    if (!Connected() || IsSelf(child)) {
        return DelegatingAccessible::get_accState(child, state);
    }
    if (state == nullptr) {
        return E_POINTER;
    }
    VariantInit(state);
    const std::optional<std::size_t> row = Row(child);
    if (!row) {
        return E_INVALIDARG;
    }
    LONG flags = STATE_SYSTEM_SELECTABLE | STATE_SYSTEM_FOCUSABLE;
    if (SelectedRow() == row) {
        flags |= STATE_SYSTEM_SELECTED;
        if (GetFocus() == Control()) {
            flags |= STATE_SYSTEM_FOCUSED;
        }
    }
    RECT list{};
    GetWindowRect(Control(), &list);
    const RECT place = RowOnScreen(*row);
    RECT shown{};
    if (!IntersectRect(&shown, &list, &place)) {
        flags |= STATE_SYSTEM_OFFSCREEN;
    }
    if (!IsWindowEnabled(Control())) {
        flags |= STATE_SYSTEM_UNAVAILABLE;
    }
    SetChild(state, flags);
    return S_OK;
}

HRESULT ResultListAccessible::get_accFocus(VARIANT* child) {
    if (!Connected()) {
        return CO_E_OBJNOTCONNECTED;
    }
    if (child == nullptr) {
        return E_POINTER;
    }
    VariantInit(child);
    if (GetFocus() != Control()) {
        return S_FALSE;
    }
    const std::optional<std::size_t> selected = SelectedRow();
    SetChild(child, selected ? ChildId(*selected) : CHILDID_SELF);
    return S_OK;
}

HRESULT ResultListAccessible::get_accSelection(VARIANT* children) {
    if (!Connected()) {
        return CO_E_OBJNOTCONNECTED;
    }
    if (children == nullptr) {
        return E_POINTER;
    }
    VariantInit(children);
    const std::optional<std::size_t> selected = SelectedRow();
    if (!selected) {
        return S_FALSE;
    }
    SetChild(children, ChildId(*selected));
    return S_OK;
}

HRESULT ResultListAccessible::accLocation(LONG* left, LONG* top, LONG* width, LONG* height,
                                          VARIANT child) {
    if (!Connected() || IsSelf(child)) {
        return DelegatingAccessible::accLocation(left, top, width, height, child);
    }
    if (left == nullptr || top == nullptr || width == nullptr || height == nullptr) {
        return E_POINTER;
    }
    const std::optional<std::size_t> row = Row(child);
    if (!row) {
        return E_INVALIDARG;
    }
    const RECT place = RowOnScreen(*row);
    *left = place.left;
    *top = place.top;
    *width = place.right - place.left;
    *height = place.bottom - place.top;
    return S_OK;
}

}  // namespace brackwin::win32
