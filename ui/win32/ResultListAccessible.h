#pragma once

#include <cstddef>
#include <optional>
#include <string>

#include "DelegatingAccessible.h"
// A leftover of 16-bit Windows that would rename the window logic's Yield class.
#undef Yield
#include "SortedResultList.h"

namespace brackwin::win32 {

// The result list as a screen reader sees it: a list whose children are its entries, child ID
// n for the entry in row n - 1, each an item named by the text the list draws for it. The list
// box holds no texts, so the system's object cannot name them. Entries are simple children,
// described when asked: no object exists per entry, however long the list.
class ResultListAccessible final : public DelegatingAccessible {
  public:
    // The list box and the entries it draws, which must outlive the object's connection. Null
    // when the system has no standard object for the list box.
    static AccessiblePtr Create(HWND list, const SortedResultList& results, std::wstring name);

    HRESULT STDMETHODCALLTYPE get_accChildCount(LONG* count) override;
    HRESULT STDMETHODCALLTYPE get_accChild(VARIANT child, IDispatch** object) override;
    HRESULT STDMETHODCALLTYPE get_accName(VARIANT child, BSTR* name) override;
    HRESULT STDMETHODCALLTYPE get_accRole(VARIANT child, VARIANT* role) override;
    HRESULT STDMETHODCALLTYPE get_accState(VARIANT child, VARIANT* state) override;
    HRESULT STDMETHODCALLTYPE get_accFocus(VARIANT* child) override;
    HRESULT STDMETHODCALLTYPE get_accSelection(VARIANT* children) override;
    HRESULT STDMETHODCALLTYPE accLocation(LONG* left, LONG* top, LONG* width, LONG* height,
                                          VARIANT child) override;

  private:
    ResultListAccessible(HWND list, IAccessible* standard, const SortedResultList& results,
                         std::wstring name);

    // The row a child ID names, if it names one.
    std::optional<std::size_t> Row(const VARIANT& child) const;
    std::optional<std::size_t> SelectedRow() const;
    RECT RowOnScreen(std::size_t row) const;

    const SortedResultList& results_;
    std::wstring name_;
};

}  // namespace brackwin::win32
