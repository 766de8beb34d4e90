#include "BrackwinApplication.h"

#include <cstdlib>
#include <exception>

#include "AppIdentity.h"
#include "QtTranslation.h"
#include "UserInterfaceServices.h"
#include "Utf8Text.h"

namespace brackwin {

BrackwinApplication::BrackwinApplication(int& argc, char** argv) : QApplication(argc, argv) {
    InstallQtTranslation(*this);
}

bool BrackwinApplication::notify(QObject* receiver, QEvent* event) {
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception& error) {
        ShowEscapedError(error.what());
        // The windows may be half-way through an operation: nothing of them can be trusted
        // any more, so the program ends here without running their destructors.
        std::quick_exit(EXIT_FAILURE);
    }
}

void ShowEscapedError(std::string_view what) {
    UserInterfaceServices::Current().ShowMessage(nullptr, FromUtf8(what), FromUtf8(kAppTitle));
}

}  // namespace brackwin
