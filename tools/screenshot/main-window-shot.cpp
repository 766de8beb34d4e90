// Loads a declaration file into the main window, searches the types for "rect", previews and
// adds "Type RECT", and saves a picture of the window; then opens the About window and saves a
// picture of it.
// Usage: brackwin-screenshot DECLARATIONS MAIN.png ABOUT.png

#include <QAbstractItemModel>
#include <QAction>
#include <QApplication>
#include <QPixmap>
#include <QPushButton>
#include <QRadioButton>
#include <QThread>
#include <cstdio>

#include "Form1Window.h"
#include "KeyBox.h"
#include "ResultListView.h"
#include "StandInServices.h"
#include "frmAbout.h"

namespace {

template <typename Widget>
Widget* Find(const QWidget& window, const char* name) {
    auto* widget = window.findChild<Widget*>(QString::fromLatin1(name));
    if (widget == nullptr) {
        std::fprintf(stderr, "brackwin-screenshot: no %s in the window\n", name);
        std::exit(1);
    }
    return widget;
}

void Settle() {
    for (int round = 0; round < 20; ++round) {
        QCoreApplication::processEvents();
        QThread::msleep(10);
    }
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    if (argc != 4) {
        std::fprintf(stderr, "Usage: brackwin-screenshot DECLARATIONS MAIN.png ABOUT.png\n");
        return 2;
    }
    brackwin::StandInServices services;
    services.answers.enqueue(QString::fromLocal8Bit(argv[1]));
    brackwin::UserInterfaceServices::Install(&services);

    brackwin::Form1Window form;
    form.show();
    Settle();
    Find<QAction>(form, "mnuAPIRead")->trigger();
    Find<QRadioButton>(form, "Option3")->setChecked(true);
    Find<brackwin::KeyBox>(form, "Text1")->setText(QStringLiteral("rect"));
    Find<QPushButton>(form, "Command1")->click();

    auto* list = Find<brackwin::ResultListView>(form, "List1");
    const QModelIndexList matches =
        list->model()->match(list->model()->index(0, 0), Qt::DisplayRole,
                             QStringLiteral("Type RECT"), 1, Qt::MatchExactly);
    if (matches.isEmpty()) {
        std::fprintf(stderr, "brackwin-screenshot: no \"Type RECT\" in %s\n", argv[1]);
        return 1;
    }
    // As the user chooses it, so the preview runs and enables "追加".
    list->ChooseRow(matches.constFirst().row());
    Find<QPushButton>(form, "Command4")->click();
    Settle();

    const bool saved = form.grab().save(QString::fromLocal8Bit(argv[2]));

    Find<QAction>(form, "mnuVersion")->trigger();
    Settle();
    brackwin::frmAbout* about = brackwin::frmAbout::Current();
    const bool aboutSaved = about != nullptr && about->grab().save(QString::fromLocal8Bit(argv[3]));
    brackwin::UserInterfaceServices::Install(nullptr);
    if (!saved || !aboutSaved) {
        std::fprintf(stderr, "brackwin-screenshot: cannot write %s\n", saved ? argv[3] : argv[2]);
        return 1;
    }
    return 0;
}
