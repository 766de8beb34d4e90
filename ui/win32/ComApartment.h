#pragma once

#include <objbase.h>

namespace brackwin::win32 {

// The calling thread in a single-threaded COM apartment for the holder's life: screen readers
// reach the windows' accessible objects through it. A thread already in an apartment stays as
// it is.
class ComApartment {
  public:
    ComApartment() noexcept
        : entered_(SUCCEEDED(
              CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE))) {}
    ~ComApartment() {
        if (entered_) {
            CoUninitialize();
        }
    }
    ComApartment(const ComApartment&) = delete;
    ComApartment& operator=(const ComApartment&) = delete;

  private:
    bool entered_;
};

}  // namespace brackwin::win32
