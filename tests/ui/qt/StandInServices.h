#pragma once

#include <QList>
#include <QQueue>
#include <QString>
#include <QUrl>
#include <optional>

#include "ToolkitServices.h"

namespace brackwin {

// Answers the open dialog from a queue and records messages and links instead of showing or
// opening them, so nothing blocks and nothing leaves the process; the clipboard stays the
// toolkit's (it round-trips within the process).
class StandInServices : public ToolkitServices {
  public:
    struct DialogRequest {
        QString title;
        QString filter;
        QString initialFolder;
    };
    struct Message {
        QString text;
        QString caption;
    };

    std::optional<QString> ChooseFileToOpen(QWidget*, const QString& title, const QString& filter,
                                            const QString& initialFolder) override {
        dialogs.append({title, filter, initialFolder});
        return answers.isEmpty() ? std::nullopt : answers.dequeue();
    }
    void ShowMessage(QWidget*, const QString& text, const QString& caption) override {
        messages.append({text, caption});
    }
    void OpenUrl(const QUrl& target) override { openedUrls.append(target); }

    // One answer per dialog; nullopt is a cancel, and so is an empty queue.
    QQueue<std::optional<QString>> answers;
    QList<DialogRequest> dialogs;
    QList<Message> messages;
    QList<QUrl> openedUrls;
};

}  // namespace brackwin
