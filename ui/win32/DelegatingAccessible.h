#pragma once

#include <oleacc.h>
#include <windows.h>

#include <atomic>
#include <memory>
#include <string_view>

namespace brackwin::win32 {

// An accessible object for a control's client area that hands every question it does not answer
// itself to the system's standard object for the control (CreateStdAccessibleObject), which
// knows the control's kind, place, state and keyboard. Derived objects answer what the standard
// object cannot know. The window that owns the control owns the object; screen readers may hold
// it longer, so the owner disconnects it when the control goes, and from then on every question
// fails with CO_E_OBJNOTCONNECTED.
class DelegatingAccessible : public IAccessible, public IOleWindow {
  public:
    DelegatingAccessible(const DelegatingAccessible&) = delete;
    DelegatingAccessible& operator=(const DelegatingAccessible&) = delete;

    void Disconnect() noexcept;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID interfaceId, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;

    // Clients use the vtable; answering through IDispatch would bypass the derived answers.
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override;
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override;
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override;
    HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*,
                                     UINT*) override;

    HRESULT STDMETHODCALLTYPE get_accParent(IDispatch** parent) override;
    HRESULT STDMETHODCALLTYPE get_accChildCount(LONG* count) override;
    HRESULT STDMETHODCALLTYPE get_accChild(VARIANT child, IDispatch** object) override;
    HRESULT STDMETHODCALLTYPE get_accName(VARIANT child, BSTR* name) override;
    HRESULT STDMETHODCALLTYPE get_accValue(VARIANT child, BSTR* value) override;
    HRESULT STDMETHODCALLTYPE get_accDescription(VARIANT child, BSTR* description) override;
    HRESULT STDMETHODCALLTYPE get_accRole(VARIANT child, VARIANT* role) override;
    HRESULT STDMETHODCALLTYPE get_accState(VARIANT child, VARIANT* state) override;
    HRESULT STDMETHODCALLTYPE get_accHelp(VARIANT child, BSTR* help) override;
    HRESULT STDMETHODCALLTYPE get_accHelpTopic(BSTR* file, VARIANT child, LONG* topic) override;
    HRESULT STDMETHODCALLTYPE get_accKeyboardShortcut(VARIANT child, BSTR* shortcut) override;
    HRESULT STDMETHODCALLTYPE get_accFocus(VARIANT* child) override;
    HRESULT STDMETHODCALLTYPE get_accSelection(VARIANT* children) override;
    HRESULT STDMETHODCALLTYPE get_accDefaultAction(VARIANT child, BSTR* action) override;
    HRESULT STDMETHODCALLTYPE accSelect(LONG flags, VARIANT child) override;
    HRESULT STDMETHODCALLTYPE accLocation(LONG* left, LONG* top, LONG* width, LONG* height,
                                          VARIANT child) override;
    HRESULT STDMETHODCALLTYPE accNavigate(LONG direction, VARIANT start, VARIANT* end) override;
    HRESULT STDMETHODCALLTYPE accHitTest(LONG left, LONG top, VARIANT* child) override;
    HRESULT STDMETHODCALLTYPE accDoDefaultAction(VARIANT child) override;
    HRESULT STDMETHODCALLTYPE put_accName(VARIANT child, BSTR name) override;
    HRESULT STDMETHODCALLTYPE put_accValue(VARIANT child, BSTR value) override;

    HRESULT STDMETHODCALLTYPE GetWindow(HWND* window) override;
    HRESULT STDMETHODCALLTYPE ContextSensitiveHelp(BOOL) override;

  protected:
    // Takes over the one reference that standard holds.
    DelegatingAccessible(HWND control, IAccessible* standard) noexcept;
    virtual ~DelegatingAccessible();

    HWND Control() const noexcept { return control_; }
    bool Connected() const noexcept { return standard_ != nullptr; }
    // The standard object of control's client area, or null when the system has none.
    static IAccessible* StandardObject(HWND control);

  private:
    std::atomic<ULONG> references_{1};
    HWND control_;
    IAccessible* standard_;
};

// Whether WM_GETOBJECT's object id asks for a control's client area, which these objects stand
// for.
bool AsksForClientArea(LPARAM objectId);
// WM_GETOBJECT's answer that hands object, with the message's flags, to the one asking.
LRESULT HandOver(DelegatingAccessible& object, WPARAM flags);

// Whether a VARIANT names the object itself rather than one of its children.
bool IsSelf(const VARIANT& child);
// A BSTR holding text; null when out of memory.
BSTR MakeBstr(std::wstring_view text);

struct DisconnectAndRelease {
    void operator()(DelegatingAccessible* object) const noexcept {
        object->Disconnect();
        object->Release();
    }
};
using AccessiblePtr = std::unique_ptr<DelegatingAccessible, DisconnectAndRelease>;

}  // namespace brackwin::win32
