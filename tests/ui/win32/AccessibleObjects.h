#pragma once

#include <oleacc.h>
#include <windows.h>

#include <memory>

namespace brackwin::win32 {

struct ReleaseObject {
    void operator()(IUnknown* object) const { object->Release(); }
};
using AccessibleRef = std::unique_ptr<IAccessible, ReleaseObject>;

// What a screen reader gets for a control's client area.
inline AccessibleRef AccessibleOf(HWND control) {
    void* object = nullptr;
    if (FAILED(AccessibleObjectFromWindow(control, OBJID_CLIENT, __uuidof(IAccessible), &object))) {
        return nullptr;
    }
    return AccessibleRef(static_cast<IAccessible*>(object));
}

inline VARIANT Child(LONG id) {
    VARIANT child;
    VariantInit(&child);
    child.vt = VT_I4;
    child.lVal = id;
    return child;
}

}  // namespace brackwin::win32
