#pragma once

#include "UserInterfaceServices.h"

namespace brackwin {

// The user-interface services on the toolkit's own dialogs, clipboard and desktop.
class ToolkitServices : public UserInterfaceServices {
  public:
    std::optional<QString> ChooseFileToOpen(QWidget* parent, const QString& title,
                                            const QString& filter,
                                            const QString& initialFolder) override;
    void ShowMessage(QWidget* parent, const QString& text, const QString& caption) override;
    void ClearClipboard() override;
    bool SetClipboardText(const QString& text) override;
    void OpenUrl(const QUrl& target) override;
};

}  // namespace brackwin
