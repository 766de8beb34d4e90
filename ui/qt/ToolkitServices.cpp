#include "ToolkitServices.h"

#include <QClipboard>
#include <QDesktopServices>
#include <QFileDialog>
#include <QGuiApplication>
#include <QMessageBox>

namespace brackwin {

std::optional<QString> ToolkitServices::ChooseFileToOpen(QWidget* parent, const QString& title,
                                                         const QString& filter,
                                                         const QString& initialFolder) {
    QFileDialog dialog(parent, title, initialFolder, filter);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    // AnyFile lets the user type a name that does not exist.
    dialog.setFileMode(QFileDialog::AnyFile);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return std::nullopt;
    }
    return dialog.selectedFiles().constFirst();
}

void ToolkitServices::ShowMessage(QWidget* parent, const QString& text, const QString& caption) {
    QMessageBox box(QMessageBox::NoIcon, caption, text, QMessageBox::Ok, parent);
    box.exec();
}

void ToolkitServices::ClearClipboard() {
    QGuiApplication::clipboard()->clear();
}

bool ToolkitServices::SetClipboardText(const QString& text) {
    QClipboard* clipboard = QGuiApplication::clipboard();
    clipboard->setText(text);
    return clipboard->text() == text;
}

void ToolkitServices::OpenUrl(const QUrl& target) {
    QDesktopServices::openUrl(target);
}

}  // namespace brackwin
