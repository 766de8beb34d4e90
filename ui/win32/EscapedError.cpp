#include "EscapedError.h"

#include <cstdlib>

#include "AppIdentity.h"
#include "UserInterfaceServices.h"

namespace brackwin::win32 {

void ReportEscapedError(std::string_view what) noexcept {
    try {
        UserInterfaceServices::Current().ShowMessage(nullptr, what, kAppTitle);
    } catch (...) {
        // The message could not be shown; the program ends all the same.
    }
    std::_Exit(EXIT_FAILURE);
}

}  // namespace brackwin::win32
