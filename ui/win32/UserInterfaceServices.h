#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <string_view>

namespace brackwin::win32 {

// The modal and desktop operations of the windows: the open dialog, the message box, the
// clipboard and handing a link to the desktop, with text in UTF-8. The program uses the system's
// own; a test installs a stand-in so nothing blocks and nothing leaves the process.
class UserInterfaceServices {
  public:
    virtual ~UserInterfaceServices() = default;

    // The modal open dialog, owned by owner and starting in initialFolder: no read-only choice,
    // and a typed name need not exist. filter holds descriptions and patterns, each followed by
    // the next after a "|", as in "APIファイル (*.txt)|*.txt". Returns the chosen path, or
    // nothing when the user cancelled; throws std::runtime_error when the dialog fails.
    virtual std::optional<std::string> ChooseFileToOpen(HWND owner, std::string_view title,
                                                        std::string_view filter,
                                                        std::string_view initialFolder) = 0;
    // A modal message with one OK button and no icon, owned by owner.
    virtual void ShowMessage(HWND owner, std::string_view text, std::string_view caption) = 0;
    virtual void ClearClipboard() = 0;
    // Offers the text as Unicode text, line breaks as they are and each NUL as the mark the
    // windows show for it; false when the clipboard refused it. Throws std::bad_alloc when
    // memory runs out.
    virtual bool SetClipboardText(std::string_view text) = 0;
    // Opens a web page in the browser, or a mailto: target in the mail program.
    virtual void OpenUrl(std::string_view target) = 0;

    // The services in use: the system's, unless a test installed its own.
    static UserInterfaceServices& Current();
    // Makes services current until Install(nullptr); the caller keeps ownership.
    static void Install(UserInterfaceServices* services);
};

}  // namespace brackwin::win32
