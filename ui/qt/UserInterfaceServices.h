#pragma once

#include <QString>
#include <QUrl>
#include <optional>

class QWidget;

namespace brackwin {

// The modal and desktop operations of the windows: the open dialog, the message box, the
// clipboard and handing a link to the desktop. The program uses the toolkit's own; a test
// installs a stand-in so nothing blocks and nothing leaves the process.
class UserInterfaceServices {
  public:
    virtual ~UserInterfaceServices() = default;

    // The modal open dialog: no read-only choice, a typed name need not exist. Returns the
    // chosen path, or nothing when the user cancelled.
    virtual std::optional<QString> ChooseFileToOpen(QWidget* parent, const QString& title,
                                                    const QString& filter,
                                                    const QString& initialFolder) = 0;
    // A modal message with one OK button and no icon.
    virtual void ShowMessage(QWidget* parent, const QString& text, const QString& caption) = 0;
    virtual void ClearClipboard() = 0;
    // False when the clipboard did not take the text.
    virtual bool SetClipboardText(const QString& text) = 0;
    // Opens a web page in the browser, or a mailto: target in the mail program.
    virtual void OpenUrl(const QUrl& target) = 0;

    // The services in use: the toolkit's, unless a test installed its own.
    static UserInterfaceServices& Current();
    // Makes services current until Install(nullptr); the caller keeps ownership.
    static void Install(UserInterfaceServices* services);
};

}  // namespace brackwin
