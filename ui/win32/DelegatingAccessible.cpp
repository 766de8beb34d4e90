#include "DelegatingAccessible.h"

namespace brackwin::win32 {

DelegatingAccessible::DelegatingAccessible(HWND control, IAccessible* standard) noexcept
    : control_(control), standard_(standard) {}

DelegatingAccessible::~DelegatingAccessible() {
    Disconnect();
}

IAccessible* DelegatingAccessible::StandardObject(HWND control) {
    void* standard = nullptr;
    if (FAILED(
            CreateStdAccessibleObject(control, OBJID_CLIENT, __uuidof(IAccessible), &standard))) {
        return nullptr;
    }
    return static_cast<IAccessible*>(standard);
}

void DelegatingAccessible::Disconnect() noexcept {
    if (standard_ != nullptr) {
        standard_->Release();
        standard_ = nullptr;
    }
}

HRESULT DelegatingAccessible::QueryInterface(REFIID interfaceId, void** object) {
    if (object == nullptr) {
        return E_POINTER;
    }
    if (interfaceId == __uuidof(IUnknown) || interfaceId == __uuidof(IDispatch) ||
        interfaceId == __uuidof(IAccessible)) {
        *object = static_cast<IAccessible*>(this);
    } else if (interfaceId == __uuidof(IOleWindow)) {
        *object = static_cast<IOleWindow*>(this);
    } else {
        *object = nullptr;
        return E_NOINTERFACE;
    }
    AddRef();
    return S_OK;
}

ULONG DelegatingAccessible::AddRef() {
    return ++references_;
}

ULONG DelegatingAccessible::Release() {
    const ULONG left = --references_;
    if (left == 0) {
        delete this;
    }
    return left;
}

HRESULT DelegatingAccessible::GetTypeInfoCount(UINT* count) {
    if (count == nullptr) {
        return E_POINTER;
    }
    *count = 0;
    return S_OK;
}

HRESULT DelegatingAccessible::GetTypeInfo(UINT, LCID, ITypeInfo**) {
    return E_NOTIMPL;
}

HRESULT DelegatingAccessible::GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) {
    return E_NOTIMPL;
}

HRESULT DelegatingAccessible::Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*,
                                     UINT*) {
    return E_NOTIMPL;
}

HRESULT DelegatingAccessible::get_accParent(IDispatch** parent) {
    return Connected() ? standard_->get_accParent(parent) : CO_E_OBJNOTCONNECTED;
}

HRESULT DelegatingAccessible::get_accChildCount(LONG* count) {
    return Connected() ? standard_->get_accChildCount(count) : CO_E_OBJNOTCONNECTED;
}

HRESULT DelegatingAccessible::get_accChild(VARIANT child, IDispatch** object) {
    return Connected() ? standard_->get_accChild(child, object) : CO_E_OBJNOTCONNECTED;
}

HRESULT DelegatingAccessible::get_accName(VARIANT child, BSTR* name) {
    return Connected() ? standard_->get_accName(child, name) : CO_E_OBJNOTCONNECTED;
}

HRESULT DelegatingAccessible::get_accValue(VARIANT child, BSTR* value) {
    return Connected() ? standard_->get_accValue(child, value) : CO_E_OBJNOTCONNECTED;
}

HRESULT DelegatingAccessible::get_accDescription(VARIANT child, BSTR* description) {
    return Connected() ? standard_->get_accDescription(child, description) : CO_E_OBJNOTCONNECTED;
}

HRESULT DelegatingAccessible::get_accRole(VARIANT child, VARIANT* role) {
    return Connected() ? standard_->get_accRole(child, role) : CO_E_OBJNOTCONNECTED;
}

HRESULT DelegatingAccessible::get_accState(VARIANT child, VARIANT* state) {
    return Connected() ? standard_->get_accState(child, state) : CO_E_OBJNOTCONNECTED;
}

HRESULT DelegatingAccessible::get_accHelp(VARIANT child, BSTR* help) {
    return Connected() ? standard_->get_accHelp(child, help) : CO_E_OBJNOTCONNECTED;
}

HRESULT DelegatingAccessible::get_accHelpTopic(BSTR* file, VARIANT child, LONG* topic) {
    return Connected() ? standard_->get_accHelpTopic(file, child, topic) : CO_E_OBJNOTCONNECTED;
}

HRESULT DelegatingAccessible::get_accKeyboardShortcut(VARIANT child, BSTR* shortcut) {
    return Connected() ? standard_->get_accKeyboardShortcut(child, shortcut) : CO_E_OBJNOTCONNECTED;
}

HRESULT DelegatingAccessible::get_accFocus(VARIANT* child) {
    return Connected() ? standard_->get_accFocus(child) : CO_E_OBJNOTCONNECTED;
}

HRESULT DelegatingAccessible::get_accSelection(VARIANT* children) {
    return Connected() ? standard_->get_accSelection(children) : CO_E_OBJNOTCONNECTED;
}

HRESULT DelegatingAccessible::get_accDefaultAction(VARIANT child, BSTR* action) {
    return Connected() ? standard_->get_accDefaultAction(child, action) : CO_E_OBJNOTCONNECTED;
}

HRESULT DelegatingAccessible::accSelect(LONG flags, VARIANT child) {
    return Connected() ? standard_->accSelect(flags, child) : CO_E_OBJNOTCONNECTED;
}

HRESULT DelegatingAccessible::accLocation(LONG* left, LONG* top, LONG* width, LONG* height,
                                          VARIANT child) {
    return Connected() ? standard_->accLocation(left, top, width, height, child)
                       : CO_E_OBJNOTCONNECTED;
}

HRESULT DelegatingAccessible::accNavigate(LONG direction, VARIANT start, VARIANT* end) {
    return Connected() ? standard_->accNavigate(direction, start, end) : CO_E_OBJNOTCONNECTED;
}

HRESULT DelegatingAccessible::accHitTest(LONG left, LONG top, VARIANT* child) {
    return Connected() ? standard_->accHitTest(left, top, child) : CO_E_OBJNOTCONNECTED;
}

HRESULT DelegatingAccessible::accDoDefaultAction(VARIANT child) {
    return Connected() ? standard_->accDoDefaultAction(child) : CO_E_OBJNOTCONNECTED;
}

HRESULT DelegatingAccessible::put_accName(VARIANT child, BSTR name) {
    return Connected() ? standard_->put_accName(child, name) : CO_E_OBJNOTCONNECTED;
}

HRESULT DelegatingAccessible::put_accValue(VARIANT child, BSTR value) {
    return Connected() ? standard_->put_accValue(child, value) : CO_E_OBJNOTCONNECTED;
}

HRESULT DelegatingAccessible::GetWindow(HWND* window) {
    if (window == nullptr) {
        return E_POINTER;
    }
    *window = control_;
    return Connected() ? S_OK : CO_E_OBJNOTCONNECTED;
}

HRESULT DelegatingAccessible::ContextSensitiveHelp(BOOL) {
    return E_NOTIMPL;
}

// The id is a LONG carried in the LPARAM's low 32 bits.
bool AsksForClientArea(LPARAM objectId) {
    return static_cast<LONG>(static_cast<DWORD>(objectId)) == OBJID_CLIENT;
}

LRESULT HandOver(DelegatingAccessible& object, WPARAM flags) {
    return LresultFromObject(__uuidof(IAccessible), flags, static_cast<IAccessible*>(&object));
}

bool IsSelf(const VARIANT& child) {
    return child.vt == VT_I4 && child.lVal == CHILDID_SELF;
}

BSTR MakeBstr(std::wstring_view text) {
    return SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
}

}  // namespace brackwin::win32
