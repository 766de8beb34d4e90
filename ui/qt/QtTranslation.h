#pragma once

class QCoreApplication;
class QTranslator;

namespace brackwin {

// Makes Qt's own texts Japanese, as the program's are: the open dialog's, the message box's
// buttons and the text boxes' menus. Installs Qt's Japanese catalogue, owned by app, and
// returns it; returns nullptr and leaves Qt's English when the catalogue is not installed.
QTranslator* InstallQtTranslation(QCoreApplication& app);

}  // namespace brackwin
