#pragma once

#include <QApplication>
#include <string_view>

namespace brackwin {

// The application object of the window program. Qt's own texts are Japanese, as the program's
// are, where Qt's Japanese catalogue is installed. An error that escapes an event handler is
// shown to the user in a message box titled with the application's title, and the program
// then ends instead of crashing without a word.
class BrackwinApplication final : public QApplication {
    Q_OBJECT

  public:
    BrackwinApplication(int& argc, char** argv);

    bool notify(QObject* receiver, QEvent* event) override;
};

// Shows the text of an error that escaped a handler, through the user-interface services.
void ShowEscapedError(std::string_view what);

}  // namespace brackwin
