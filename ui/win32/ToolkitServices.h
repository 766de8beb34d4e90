#pragma once

#include <string_view>

#include "Handles.h"
#include "UserInterfaceServices.h"

namespace brackwin::win32 {

// The user-interface services on the system's common dialog, message box, clipboard and shell.
class ToolkitServices : public UserInterfaceServices {
  public:
    std::optional<std::string> ChooseFileToOpen(HWND owner, std::string_view title,
                                                std::string_view filter,
                                                std::string_view initialFolder) override;
    void ShowMessage(HWND owner, std::string_view text, std::string_view caption) override;
    void ClearClipboard() override;
    bool SetClipboardText(std::string_view text) override;
    void OpenUrl(std::string_view target) override;

  private:
    HWND ClipboardOwner();

    // The clipboard takes data only from a window that opened it; this hidden one does.
    UniqueWindow clipboardOwner_;
};

// Empties the clipboard and puts text on it in the system's Unicode text format, as owner; false
// when the clipboard refused it. Throws std::bad_alloc when memory runs out.
bool PutUnicodeText(HWND owner, std::wstring_view text);

}  // namespace brackwin::win32
