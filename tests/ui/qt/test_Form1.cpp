#include <QAbstractItemModel>
#include <QAbstractItemView>
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QDir>
#include <QDrag>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTextCursor>
#include <QTimer>
#include <algorithm>
#include <memory>
#include <optional>

#include "BrackwinApplication.h"
#include "FailingAllocator.h"
#include "Form1Controls.h"
#include "Form1Window.h"
#include "KeyBox.h"
#include "StandInServices.h"
#include "Twips.h"
#include "frmAbout.h"

using brackwin::Form1Window;
using brackwin::StandInServices;

namespace {

const QString kCrLf = QStringLiteral("\r\n");

// The reader drops the first line; a search lists every declaration after it.
const QStringList kExampleLines = {
    QStringLiteral("' header"),
    QStringLiteral("Public Const MAX_PATH = 260"),
    QStringLiteral("Global Const GMEM_FIXED = &H0"),
    QStringLiteral("Declare Function GetTickCount Lib kernel32 () As Long"),
    QStringLiteral("Declare Sub Sleep Lib kernel32 (ByVal ms As Long)"),
    QStringLiteral("Type RECT"),
    QStringLiteral("    Left As Long"),
    QStringLiteral("End Type"),
    QStringLiteral("Type RECTL"),
    QStringLiteral("End Type"),
    QStringLiteral("' trailer"),
    QStringLiteral("Public Const LAST_ONE = 1"),
};

// Enough lines that reading or searching them takes several rounds of event processing, also
// on a fast machine.
constexpr int kLargeLineCount = 500000;

struct Enabled {
    bool mnuAPIRead, mnuEnd, mnuVersion, Text1, Text2, Option1, Option2, Option3, Command1,
        Command2, Command3, List1, Label1, Command4, busy;
    bool operator==(const Enabled&) const = default;
};

char* toString(const Enabled& e) {
    return qstrdup(QStringLiteral("menu %1%2%3 Text1 %4 Text2 %5 Option %6%7%8 Command1-3 %9%10%11 "
                                  "List1 %12 Label1 %13 Command4 %14 busy %15")
                       .arg(e.mnuAPIRead)
                       .arg(e.mnuEnd)
                       .arg(e.mnuVersion)
                       .arg(e.Text1)
                       .arg(e.Text2)
                       .arg(e.Option1)
                       .arg(e.Option2)
                       .arg(e.Option3)
                       .arg(e.Command1)
                       .arg(e.Command2)
                       .arg(e.Command3)
                       .arg(e.List1)
                       .arg(e.Label1)
                       .arg(e.Command4)
                       .arg(e.busy)
                       .toUtf8()
                       .constData());
}

bool IsBusy(const QWidget* widget) {
    return widget->cursor().shape() == Qt::WaitCursor;
}

// Expected states. Command4 is outside the scheme, so each test states it.
// Fields: the menu items load, end and Version; Text1, Text2, Option1 to Option3; Command1 to
// Command3; List1, Label1, Command4; the busy pointer.
Enabled NoFile(bool command4) {
    return {true,  true,  true,  false, false, false,    false, false,
            false, false, false, false, true,  command4, false};
}
Enabled Loading(bool command4) {
    return {false, false, true,  false, false, false,    false, false,
            false, false, false, false, true,  command4, true};
}
Enabled Ready(bool command4) {
    return {true, true, true, true, true, true,     true, true,
            true, true, true, true, true, command4, false};
}
Enabled Searching(bool command4) {
    return {false, true,  true,  true, true, true,     true, true,
            false, false, false, true, true, command4, true};
}

}  // namespace

class TestForm1 : public QObject, private brackwin::Form1Controls {
    Q_OBJECT

  private slots:
    void init();
    void cleanup();

    void opensWithOnlyTheMenusUsable();
    void controlsAsLaidOut_data();
    void controlsAsLaidOut();
    void windowHasFixedClientAreaTitleAndIcon();
    void tabOrderFollowsTheLayout();
    void menuBar();
    void previewAreaAndOutputText();

    void loadSucceeds();
    void loadFails_data();
    void loadFails();
    void laterCancelReadsTheEarlierChoiceAgain();
    void failedLaterLoadDisablesSearchAgain();
    void openDialogSettings();
    void secondLoadKeepsKeyOptionPreviewAndOutput();

    void enterSearches_data();
    void enterSearches();
    void otherKeysDoNotSearch();
    void keyIsPassedUntrimmed_data();
    void keyIsPassedUntrimmed();
    void resultsAreSortedIgnoringCase();

    void previewAddClearCopy();
    void doubleClickAdds();
    void typesPreviewAndAddTheirBlock();
    void everyClickPreviewsAlsoOnTheSelectedEntry();
    void selectionCannotBeCleared();
    void addStaysEnabledAfterLoadsAndSearches();
    void hugeLineIsListedPreviewedAndAddedWithoutFreezing();
    void nulIsShownAsAMarkAndCopiedExactly();
    void copyingASelectionCopiesTheWholeTextItShows();
    void addThatRunsOutOfMemoryStopsWithAMessage();

    void loadingStateWhileTheFileIsRead();
    void searchingStateAndItsGuards();
    void entriesFoundDuringASearchAppearSorted();
    void entriesCanBeChosenAndAddedWhileTheSearchRuns();
    void closingDuringASearchStopsIt();
    void closingDuringALoadStopsIt();
    void endClosesEveryWindowDuringASearch();
    void versionShowsOneAboutWindowThatOutlivesTheCloseBox();
    void escapedErrorIsShownTitledBrackwin();

  private:
    QString WriteFile(const QString& name, const QStringList& lines);
    QString LargeFile();
    void Load(const std::optional<QString>& answer);
    void Search(const QString& key, QRadioButton* option);
    QStringList Rows() const;
    void SelectRow(int row);
    // Drags the output area's whole selection a little way; returns the text the drag carries.
    QString DragSelection();
    Enabled Snapshot() const;

    std::unique_ptr<QTemporaryDir> dir_;
    // Written once and shared by the tests that need a long load or search.
    QTemporaryDir largeDir_;
    QString largeFile_;
    StandInServices services_;
    std::unique_ptr<Form1Window> form_;
    QMenu* mnuFile_ = nullptr;
    QAction* mnuAPIRead_ = nullptr;
    QAction* mnuSep1_ = nullptr;
    QAction* mnuEnd_ = nullptr;
    QAction* mnuVersion_ = nullptr;
};

void TestForm1::init() {
    dir_ = std::make_unique<QTemporaryDir>();
    QVERIFY(dir_->isValid());
    services_ = StandInServices();
    brackwin::UserInterfaceServices::Install(&services_);
    form_ = std::make_unique<Form1Window>();
    form_->show();
    QVERIFY(QTest::qWaitForWindowExposed(form_.get()));

    QVERIFY(mnuFile_ = form_->findChild<QMenu*>(QStringLiteral("mnuFile")));
    QVERIFY(mnuAPIRead_ = form_->findChild<QAction*>(QStringLiteral("mnuAPIRead")));
    QVERIFY(mnuSep1_ = form_->findChild<QAction*>(QStringLiteral("mnuSep1")));
    QVERIFY(mnuEnd_ = form_->findChild<QAction*>(QStringLiteral("mnuEnd")));
    QVERIFY(mnuVersion_ = form_->findChild<QAction*>(QStringLiteral("mnuVersion")));
    FindControls(*form_);
}

void TestForm1::cleanup() {
    form_.reset();
    if (QWidget* about = brackwin::frmAbout::Current()) {
        delete about;
    }
    brackwin::UserInterfaceServices::Install(nullptr);
    dir_.reset();
}

QString TestForm1::WriteFile(const QString& name, const QStringList& lines) {
    const QString path = dir_->filePath(name);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        return {};
    }
    file.write(lines.join(kCrLf).toUtf8());
    file.write(kCrLf.toUtf8());
    return path;
}

QString TestForm1::LargeFile() {
    if (largeFile_.isEmpty()) {
        QByteArray text = "' large\r\n";
        for (int i = 1; i < kLargeLineCount; ++i) {
            // Descending, so that the file's order is not the list's.
            const QByteArray number = QByteArray::number(kLargeLineCount - i);
            text += "Public Const C_" + number + " = " + number + "\r\n";
        }
        largeFile_ = largeDir_.filePath(QStringLiteral("large.txt"));
        QFile file(largeFile_);
        if (!file.open(QIODevice::WriteOnly) || file.write(text) != text.size()) {
            qFatal("cannot write %s", qPrintable(largeFile_));
        }
    }
    return largeFile_;
}

void TestForm1::Load(const std::optional<QString>& answer) {
    services_.answers.enqueue(answer);
    mnuAPIRead_->trigger();
}

void TestForm1::Search(const QString& key, QRadioButton* option) {
    Text1_->setText(key);
    option->setChecked(true);
    QTest::mouseClick(Command1_, Qt::LeftButton);
}

QStringList TestForm1::Rows() const {
    QStringList rows;
    const QAbstractItemModel* model = List1_->model();
    for (int row = 0; row < model->rowCount(); ++row) {
        rows.append(model->index(row, 0).data().toString());
    }
    return rows;
}

void TestForm1::SelectRow(int row) {
    const QRect rect = List1_->visualRect(List1_->model()->index(row, 0));
    QTest::mouseClick(List1_->viewport(), Qt::LeftButton, {}, rect.center());
}

Enabled TestForm1::Snapshot() const {
    return {mnuAPIRead_->isEnabled(), mnuEnd_->isEnabled(),   mnuVersion_->isEnabled(),
            Text1_->isEnabled(),      Text2_->isEnabled(),    Option1_->isEnabled(),
            Option2_->isEnabled(),    Option3_->isEnabled(),  Command1_->isEnabled(),
            Command2_->isEnabled(),   Command3_->isEnabled(), List1_->isEnabled(),
            Label1_->isEnabled(),     Command4_->isEnabled(), IsBusy(form_.get())};
}

void TestForm1::opensWithOnlyTheMenusUsable() {
    QCOMPARE(Snapshot(), NoFile(false));
    QVERIFY(Option1_->isChecked());
    QVERIFY(!Option2_->isChecked());
    QVERIFY(!Option3_->isChecked());
    QVERIFY(Text1_->text().isEmpty());
    QCOMPARE(List1_->model()->rowCount(), 0);
}

void TestForm1::controlsAsLaidOut_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QRect>("twips");
    QTest::newRow("Text1") << "Text1"
                           << "" << QRect(360, 0, 5895, 375);
    QTest::newRow("Command1") << "Command1"
                              << "サーチ" << QRect(5280, 600, 855, 375);
    QTest::newRow("Command3") << "Command3"
                              << "コピー" << QRect(5760, 4200, 855, 375);
    QTest::newRow("Command2") << "Command2"
                              << "クリア" << QRect(5760, 4560, 855, 375);
    QTest::newRow("Option1") << "Option1"
                             << "定数" << QRect(360, 720, 1455, 255);
    QTest::newRow("Option2") << "Option2"
                             << "関数" << QRect(2040, 720, 1455, 255);
    QTest::newRow("Option3") << "Option3"
                             << "型" << QRect(3720, 720, 1455, 255);
    QTest::newRow("List1") << "List1"
                           << "" << QRect(0, 1080, 6615, 2760);
    QTest::newRow("Text2") << "Text2"
                           << "" << QRect(0, 5040, 6615, 2775);
    QTest::newRow("Label1") << "Label1"
                            << "" << QRect(120, 3960, 5535, 975);
    QTest::newRow("Command4") << "Command4"
                              << "追加" << QRect(5760, 3840, 855, 375);
}

void TestForm1::controlsAsLaidOut() {
    QFETCH(QString, name);
    QFETCH(QString, caption);
    QFETCH(QRect, twips);
    auto* control = form_->findChild<QWidget*>(name);
    QVERIFY(control);
    const int dpiX = control->logicalDpiX();
    const int dpiY = control->logicalDpiY();
    const QRect expected(brackwin::TwipsToPixels(twips.x(), dpiX),
                         brackwin::TwipsToPixels(twips.y(), dpiY),
                         brackwin::TwipsToPixels(twips.width(), dpiX),
                         brackwin::TwipsToPixels(twips.height(), dpiY));
    QCOMPARE(control->geometry(), expected);
    QCOMPARE(control->parentWidget(), form_->centralWidget());
    if (auto* button = qobject_cast<QAbstractButton*>(control)) {
        QCOMPARE(button->text(), caption);
    }
}

void TestForm1::windowHasFixedClientAreaTitleAndIcon() {
    const QWidget* client = form_->centralWidget();
    QCOMPARE(client->size(), QSize(brackwin::TwipsToPixels(6615, client->logicalDpiX()),
                                   brackwin::TwipsToPixels(7875, client->logicalDpiY())));
    QCOMPARE(client->y(), form_->menuBar()->height());
    QCOMPARE(form_->minimumSize(), form_->maximumSize());
    QCOMPARE(form_->size(), form_->minimumSize());
    QCOMPARE(form_->windowTitle(), QStringLiteral("Brackwin"));
    QVERIFY(form_->windowIcon().availableSizes().contains(QSize(32, 32)));
}

void TestForm1::tabOrderFollowsTheLayout() {
    const QStringList expected = {"Text1",   "Command1", "Command3", "Command2", "Option1",
                                  "Option2", "Option3",  "List1",    "Text2",    "Command4"};
    QStringList order;
    QWidget* widget = Text1_;
    do {
        if (expected.contains(widget->objectName())) {
            order.append(widget->objectName());
        }
        widget = widget->nextInFocusChain();
    } while (widget != Text1_);
    QCOMPARE(order, expected);
    QCOMPARE(Label1_->focusPolicy(), Qt::NoFocus);
}

void TestForm1::menuBar() {
    const QList<QAction*> bar = form_->menuBar()->actions();
    QCOMPARE(bar.size(), 2);
    QCOMPARE(bar.at(0), mnuFile_->menuAction());
    QCOMPARE(bar.at(1), mnuVersion_);
    QCOMPARE(mnuFile_->title(), QStringLiteral("ファイル"));
    QCOMPARE(mnuFile_->actions(), (QList<QAction*>{mnuAPIRead_, mnuSep1_, mnuEnd_}));
    QCOMPARE(mnuAPIRead_->text(), QStringLiteral("APIファイルの読み込み"));
    QVERIFY(mnuSep1_->isSeparator());
    QCOMPARE(mnuEnd_->text(), QStringLiteral("終了"));
    QCOMPARE(mnuVersion_->text(), QStringLiteral("Version"));
    for (const QAction* item : {mnuAPIRead_, mnuEnd_, mnuVersion_}) {
        QVERIFY(item->shortcut().isEmpty());
    }
}

void TestForm1::previewAreaAndOutputText() {
    QVERIFY(Label1_->wordWrap());
    QVERIFY(Label1_->autoFillBackground());
    QCOMPARE(Label1_->palette().color(QPalette::Window),
             QApplication::palette("QMenuBar").color(QPalette::Window));
    QCOMPARE(Label1_->palette().color(QPalette::WindowText),
             QApplication::palette().color(QPalette::WindowText));
    QVERIFY(Text2_->isReadOnly());
    QCOMPARE(Text2_->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
    QCOMPARE(List1_->selectionMode(), QAbstractItemView::SingleSelection);
}

void TestForm1::loadSucceeds() {
    Load(WriteFile(QStringLiteral("example.txt"), kExampleLines));
    QCOMPARE(Snapshot(), Ready(false));
    QCOMPARE(List1_->model()->rowCount(), 0);
    QVERIFY(services_.messages.isEmpty());
}

void TestForm1::loadFails_data() {
    QTest::addColumn<std::optional<QString>>("answer");
    QTest::newRow("cancelled first load") << std::optional<QString>();
    QTest::newRow("name that does not exist")
        << std::optional<QString>(QStringLiteral("/nonexistent/win32api.txt"));
    QTest::newRow("folder") << std::optional<QString>(QDir::tempPath());
}

void TestForm1::loadFails() {
    QFETCH(std::optional<QString>, answer);
    Load(answer);
    QCOMPARE(Snapshot(), NoFile(false));
    QCOMPARE(List1_->model()->rowCount(), 0);
    QVERIFY(services_.messages.isEmpty());
}

void TestForm1::laterCancelReadsTheEarlierChoiceAgain() {
    const QString path = WriteFile(QStringLiteral("example.txt"), kExampleLines);
    Load(path);
    QStringList changed = kExampleLines;
    changed.insert(1, QStringLiteral("Public Const ADDED_LATER = 1"));
    QCOMPARE(WriteFile(QStringLiteral("example.txt"), changed), path);

    Load(std::nullopt);
    QCOMPARE(Snapshot(), Ready(false));
    Search(QStringLiteral("added"), Option1_);
    QCOMPARE(Rows(), QStringList{QStringLiteral("Public Const ADDED_LATER = 1")});
}

void TestForm1::failedLaterLoadDisablesSearchAgain() {
    Load(WriteFile(QStringLiteral("example.txt"), kExampleLines));
    Search(QString(), Option1_);
    QCOMPARE(Rows().size(), 3);
    Load(QStringLiteral("/nonexistent/other.txt"));
    QCOMPARE(Snapshot(), NoFile(false));
    QCOMPARE(List1_->model()->rowCount(), 0);
}

void TestForm1::openDialogSettings() {
    Load(std::nullopt);
    Load(std::nullopt);
    QCOMPARE(services_.dialogs.size(), 2);
    for (const StandInServices::DialogRequest& dialog : services_.dialogs) {
        QCOMPARE(dialog.title, QStringLiteral("APIファイルの読み込み"));
        QCOMPARE(dialog.filter, QStringLiteral("APIファイル (*.txt)"));
        QVERIFY2(dialog.initialFolder.endsWith(QStringLiteral("/winapi")),
                 qPrintable(dialog.initialFolder));
        QVERIFY(!dialog.initialFolder.contains(QLatin1Char('\\')));
        // Run from the build tree, the folder is the bundled sample's.
        QVERIFY(QFileInfo::exists(dialog.initialFolder + QStringLiteral("/win32api.txt")));
    }
}

void TestForm1::secondLoadKeepsKeyOptionPreviewAndOutput() {
    Load(WriteFile(QStringLiteral("example.txt"), kExampleLines));
    Search(QStringLiteral("gettick"), Option2_);
    SelectRow(0);
    QTest::mouseClick(Command4_, Qt::LeftButton);
    const QString preview = Label1_->text();
    const QString output = Text2_->toPlainText();
    QVERIFY(!preview.isEmpty());
    QVERIFY(!output.isEmpty());

    Load(WriteFile(QStringLiteral("other.txt"), kExampleLines.mid(0, 3)));
    QCOMPARE(Snapshot(), Ready(true));
    QCOMPARE(Text1_->text(), QStringLiteral("gettick"));
    QVERIFY(Option2_->isChecked());
    QCOMPARE(Label1_->text(), preview);
    QCOMPARE(Text2_->toPlainText(), output);
    QCOMPARE(List1_->model()->rowCount(), 0);
}

void TestForm1::enterSearches_data() {
    QTest::addColumn<Qt::Key>("key");
    QTest::addColumn<Qt::KeyboardModifiers>("modifiers");
    QTest::newRow("Enter") << Qt::Key_Return << Qt::KeyboardModifiers();
    QTest::newRow("Shift+Enter") << Qt::Key_Return << Qt::KeyboardModifiers(Qt::ShiftModifier);
    QTest::newRow("Ctrl+Enter") << Qt::Key_Return << Qt::KeyboardModifiers(Qt::ControlModifier);
    QTest::newRow("keypad Enter") << Qt::Key_Enter << Qt::KeyboardModifiers(Qt::KeypadModifier);
}

void TestForm1::enterSearches() {
    QFETCH(Qt::Key, key);
    QFETCH(Qt::KeyboardModifiers, modifiers);
    Load(WriteFile(QStringLiteral("example.txt"), kExampleLines));
    Text1_->setText(QStringLiteral("max"));
    const QSignalSpy keyBoxSawEnter(Text1_, &brackwin::KeyBox::returnPressed);
    QTest::keyClick(Text1_, key, modifiers);
    QCOMPARE(Rows(), QStringList{QStringLiteral("Public Const MAX_PATH = 260")});
    QCOMPARE(Snapshot(), Ready(false));
    QCOMPARE(keyBoxSawEnter.count(), 1);
}

void TestForm1::otherKeysDoNotSearch() {
    Load(WriteFile(QStringLiteral("example.txt"), kExampleLines));
    QTest::keyClicks(Text1_, QStringLiteral("max"));
    QTest::keyClick(Text1_, Qt::Key_Tab);
    QTest::keyClick(Text1_, Qt::Key_Escape);
    QCOMPARE(Text1_->text(), QStringLiteral("max"));
    QCOMPARE(List1_->model()->rowCount(), 0);
}

void TestForm1::keyIsPassedUntrimmed_data() {
    QTest::addColumn<QString>("key");
    QTest::addColumn<QStringList>("rows");
    const QString xmax = QStringLiteral("Public Const XMAX = 1");
    const QString maxA = QStringLiteral("Public Const MAX_A = 2");
    QTest::newRow("no blanks") << "max" << QStringList{maxA, xmax};
    QTest::newRow("leading blank") << " max" << QStringList{maxA};
    QTest::newRow("trailing blank") << "max " << QStringList{xmax};
    QTest::newRow("one blank") << " " << QStringList{maxA, xmax};
}

void TestForm1::keyIsPassedUntrimmed() {
    QFETCH(QString, key);
    QFETCH(QStringList, rows);
    Load(WriteFile(QStringLiteral("blanks.txt"),
                   {QStringLiteral("' header"), QStringLiteral("Public Const XMAX = 1"),
                    QStringLiteral("Public Const MAX_A = 2"), QStringLiteral("' trailer")}));
    Search(key, Option1_);
    QCOMPARE(Rows(), rows);
}

void TestForm1::resultsAreSortedIgnoringCase() {
    Load(WriteFile(QStringLiteral("flags.txt"),
                   {QStringLiteral("' header"), QStringLiteral("Public Const B_FLAG = 2"),
                    QStringLiteral("Public Const a_flag = 1"), QStringLiteral("' trailer")}));
    Search(QString(), Option1_);
    QCOMPARE(Rows(), (QStringList{QStringLiteral("Public Const a_flag = 1"),
                                  QStringLiteral("Public Const B_FLAG = 2")}));
}

void TestForm1::previewAddClearCopy() {
    const QString function =
        QStringLiteral("Declare Function GetTickCount Lib kernel32 () As Long");
    Load(WriteFile(QStringLiteral("example.txt"), kExampleLines));
    Search(QString(), Option2_);
    QCOMPARE(Rows(), QStringList{function});

    SelectRow(0);
    QCOMPARE(Label1_->text(), function);
    QVERIFY(Command4_->isEnabled());

    QTest::mouseClick(Command4_, Qt::LeftButton);
    QTest::mouseClick(Command4_, Qt::LeftButton);
    const QString twice = kCrLf + kCrLf + function + kCrLf + kCrLf + function;
    QCOMPARE(Text2_->toPlainText(), QString(twice).replace(kCrLf, QStringLiteral("\n")));

    QTest::mouseClick(Command3_, Qt::LeftButton);
    QCOMPARE(QGuiApplication::clipboard()->text(), twice);
    QCOMPARE(services_.messages.size(), 1);
    QCOMPARE(services_.messages.at(0).text, QStringLiteral("クリップボードに出力しました"));
    QCOMPARE(services_.messages.at(0).caption, QStringLiteral("Brackwin"));

    QTest::mouseClick(Command2_, Qt::LeftButton);
    QVERIFY(Text2_->toPlainText().isEmpty());
    QTest::mouseClick(Command3_, Qt::LeftButton);
    QVERIFY(QGuiApplication::clipboard()->text().isEmpty());
    QCOMPARE(services_.messages.size(), 2);

    QTest::mouseClick(Command4_, Qt::LeftButton);
    QTest::mouseClick(Command3_, Qt::LeftButton);
    QCOMPARE(QGuiApplication::clipboard()->text(), kCrLf + kCrLf + function);
}

void TestForm1::doubleClickAdds() {
    Load(WriteFile(QStringLiteral("example.txt"), kExampleLines));
    Search(QString(), Option1_);
    const QRect rect = List1_->visualRect(List1_->model()->index(2, 0));
    // A real double click: the first click selects, the second arrives as a double click.
    QTest::mouseClick(List1_->viewport(), Qt::LeftButton, {}, rect.center());
    QTest::mouseDClick(List1_->viewport(), Qt::LeftButton, {}, rect.center());
    QCOMPARE(Label1_->text(), QStringLiteral("Public Const MAX_PATH = 260"));
    QCOMPARE(Text2_->toPlainText(), QStringLiteral("\n\nPublic Const MAX_PATH = 260"));
}

void TestForm1::typesPreviewAndAddTheirBlock() {
    Load(WriteFile(QStringLiteral("example.txt"), kExampleLines));
    Search(QStringLiteral("rect"), Option3_);
    QCOMPARE(Rows(), (QStringList{QStringLiteral("Type RECT"), QStringLiteral("Type RECTL")}));

    SelectRow(0);
    QCOMPARE(Label1_->text(), kExampleLines.mid(5, 5).join(kCrLf));
    SelectRow(1);
    QCOMPARE(Label1_->text(), kExampleLines.mid(8, 2).join(kCrLf));
    QTest::mouseClick(Command4_, Qt::LeftButton);
    QTest::mouseClick(Command3_, Qt::LeftButton);
    QCOMPARE(QGuiApplication::clipboard()->text(),
             kCrLf + kCrLf + kExampleLines.mid(8, 2).join(kCrLf));
}

// The option is read when the entry is clicked, so a click on the entry already selected, after
// switching to types, previews its block.
void TestForm1::everyClickPreviewsAlsoOnTheSelectedEntry() {
    Load(WriteFile(QStringLiteral("example.txt"), kExampleLines));
    Search(QString(), Option2_);
    SelectRow(0);
    QCOMPARE(Label1_->text(), kExampleLines.at(3));
    Option3_->setChecked(true);
    SelectRow(0);
    QCOMPARE(Label1_->text(), kExampleLines.mid(3, 5).join(kCrLf));
    QTest::mouseClick(Command4_, Qt::LeftButton);
    QCOMPARE(Text2_->toPlainText(), QString(kCrLf + kCrLf + kExampleLines.mid(3, 5).join(kCrLf))
                                        .replace(kCrLf, QStringLiteral("\n")));
}

void TestForm1::selectionCannotBeCleared() {
    Load(WriteFile(QStringLiteral("example.txt"), kExampleLines));
    Search(QString(), Option1_);
    SelectRow(1);
    const QString preview = Label1_->text();
    const QRect last = List1_->visualRect(List1_->model()->index(Rows().size() - 1, 0));
    QTest::mouseClick(List1_->viewport(), Qt::LeftButton, {}, last.center() + QPoint(0, 40));
    const QRect selected = List1_->visualRect(List1_->model()->index(1, 0));
    QTest::mouseClick(List1_->viewport(), Qt::LeftButton, Qt::ControlModifier, selected.center());
    QCOMPARE(List1_->selectionModel()->selectedIndexes().size(), 1);
    QCOMPARE(List1_->selectionModel()->selectedIndexes().at(0).row(), 1);
    QCOMPARE(Label1_->text(), preview);
    QTest::mouseClick(Command4_, Qt::LeftButton);
    QCOMPARE(Text2_->toPlainText(), QStringLiteral("\n\n") + preview);
}

void TestForm1::addStaysEnabledAfterLoadsAndSearches() {
    const QString path = WriteFile(QStringLiteral("example.txt"), kExampleLines);
    Load(path);
    Search(QString(), Option1_);
    QVERIFY(!Command4_->isEnabled());
    SelectRow(0);
    QVERIFY(Command4_->isEnabled());
    Search(QStringLiteral("nothing matches this"), Option1_);
    QCOMPARE(Snapshot(), Ready(true));
    Load(path);
    QCOMPARE(Snapshot(), Ready(true));
    Load(QStringLiteral("/nonexistent/other.txt"));
    QCOMPARE(Snapshot(), NoFile(true));
}

// A 3 MB line once kept the window from its events for minutes when added: the controls now get
// a bounded text, while the output keeps and copies the whole line. The bound on the longest
// stretch without events only catches a freeze; speed is measured in the benchmarks.
void TestForm1::hugeLineIsListedPreviewedAndAddedWithoutFreezing() {
    const QString big =
        QStringLiteral("Public Const BIG = ") + QString(3'000'000, QLatin1Char('A'));
    Load(WriteFile(
        QStringLiteral("big.txt"),
        {QStringLiteral("' h"), big, QStringLiteral("Public Const X = 1"), QStringLiteral("' t")}));
    QElapsedTimer sinceTick;
    qint64 longestMs = 0;
    QTimer ticker;
    connect(&ticker, &QTimer::timeout, this,
            [&] { longestMs = std::max(longestMs, sinceTick.restart()); });
    sinceTick.start();
    ticker.start(1);
    const auto step = [&](auto action) {
        QTest::qWait(20);
        sinceTick.restart();
        action();
        QTest::qWait(20);
    };
    step([&] { Search(QString(), Option1_); });
    step([&] { SelectRow(0); });
    step([&] { QTest::mouseClick(Command4_, Qt::LeftButton); });
    ticker.stop();
    QVERIFY2(longestMs < 2000, qPrintable(QString::number(longestMs)));
    QVERIFY(Label1_->text().startsWith(big.left(100)));
    QVERIFY(Label1_->text().size() < 5000);
    QVERIFY(Text2_->toPlainText().size() < 5000);
    QTest::mouseClick(Command3_, Qt::LeftButton);
    QCOMPARE(QGuiApplication::clipboard()->text(), kCrLf + kCrLf + big);
}

// A NUL would end the text in some controls and is invisible in others: every control shows a
// mark for it, and the clipboard gets it as it is.
void TestForm1::nulIsShownAsAMarkAndCopiedExactly() {
    const QString withNul =
        QStringLiteral("Public Const NUL") + QChar(0) + QStringLiteral("INSIDE = 1");
    const QString shown = QString(withNul).replace(QChar(0), QChar(0x2400));
    const QString last = QStringLiteral("Public Const ZZZ = 2");
    Load(WriteFile(QStringLiteral("nul.txt"),
                   {QStringLiteral("' h"), withNul, last, QStringLiteral("' t")}));
    Search(QString(), Option1_);
    QCOMPARE(Rows(), (QStringList{shown, last}));
    SelectRow(0);
    QCOMPARE(Label1_->text(), shown);
    QTest::mouseClick(Command4_, Qt::LeftButton);
    SelectRow(1);
    QTest::mouseClick(Command4_, Qt::LeftButton);
    QCOMPARE(Text2_->toPlainText(), QStringLiteral("\n\n") + shown + QStringLiteral("\n\n") + last);
    QTest::mouseClick(Command3_, Qt::LeftButton);
    QCOMPARE(QGuiApplication::clipboard()->text(), kCrLf + kCrLf + withNul + kCrLf + kCrLf + last);
}

// Text2 shows long lines cut; what the user copies of it is the whole text the selection shows.
void TestForm1::copyingASelectionCopiesTheWholeTextItShows() {
    const QString big = QStringLiteral("Public Const BIG = ") + QString(100'000, QLatin1Char('A'));
    Load(WriteFile(QStringLiteral("big.txt"), {QStringLiteral("' h"), big, QStringLiteral("' t")}));
    Search(QString(), Option1_);
    SelectRow(0);
    QTest::mouseClick(Command4_, Qt::LeftButton);
    QVERIFY(Text2_->toPlainText().size() < 5000);

    Text2_->selectAll();
    QGuiApplication::clipboard()->setText(QStringLiteral("before"));
    QTest::keyClick(Text2_, Qt::Key_C, Qt::ControlModifier);
    QCOMPARE(QGuiApplication::clipboard()->text(), kCrLf + kCrLf + big);

    QTextCursor word = Text2_->textCursor();
    word.setPosition(2 + 13);
    word.setPosition(2 + 16, QTextCursor::KeepAnchor);
    Text2_->setTextCursor(word);
    QTest::keyClick(Text2_, Qt::Key_C, Qt::ControlModifier);
    QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("BIG"));

    // The context menu's copy command, chosen while its menu is open.
    Text2_->selectAll();
    bool chosen = false;
    QTimer::singleShot(0, this, [&] {
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        if (menu == nullptr) {
            return;
        }
        if (auto* copy = menu->findChild<QAction*>(QStringLiteral("edit-copy"))) {
            copy->trigger();
            chosen = true;
        }
        menu->close();
    });
    QContextMenuEvent menuEvent(QContextMenuEvent::Keyboard, QPoint(5, 5),
                                Text2_->viewport()->mapToGlobal(QPoint(5, 5)));
    QApplication::sendEvent(Text2_->viewport(), &menuEvent);
    QVERIFY(chosen);
    QCOMPARE(QGuiApplication::clipboard()->text(), kCrLf + kCrLf + big);

    // A selection dragged out of the area carries the same text; out of memory, a message and
    // no text.
    QCOMPARE(DragSelection(), kCrLf + kCrLf + big);
    {
        const brackwin::test::FailingLargeAllocations outOfMemory(64 * 1024);
        QCOMPARE(DragSelection(), QString());
    }
    QCOMPARE(services_.messages.size(), 1);
    QCOMPARE(services_.messages.front().text,
             QStringLiteral("メモリが足りないため、コピーできませんでした。"));
}

QString TestForm1::DragSelection() {
    Text2_->selectAll();
    QTextCursor inside = Text2_->textCursor();
    inside.setPosition(2 + 5);
    const QPoint from = Text2_->cursorRect(inside).center();
    const QPoint to = from + QPoint(QApplication::startDragDistance() + 20, 0);
    QWidget* viewport = Text2_->viewport();
    QMouseEvent press(QEvent::MouseButtonPress, from, viewport->mapToGlobal(from), Qt::LeftButton,
                      Qt::LeftButton, Qt::NoModifier);
    QMouseEvent move(QEvent::MouseMove, to, viewport->mapToGlobal(to), Qt::NoButton, Qt::LeftButton,
                     Qt::NoModifier);
    QApplication::sendEvent(viewport, &press);
    QApplication::sendEvent(viewport, &move);
    // The drag is over at once offscreen; its object lives until events run again.
    auto* drag = Text2_->findChild<QDrag*>();
    const QString text = drag != nullptr && drag->mimeData() != nullptr ? drag->mimeData()->text()
                                                                        : QStringLiteral("no drag");
    QMouseEvent release(QEvent::MouseButtonRelease, to, viewport->mapToGlobal(to), Qt::LeftButton,
                        Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(viewport, &release);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    return text;
}

// The window goes on after an add ran out of memory, with the output as it was and a message.
void TestForm1::addThatRunsOutOfMemoryStopsWithAMessage() {
    const QString big = QStringLiteral("Public Const BIG = ") + QString(1 << 20, QLatin1Char('A'));
    Load(WriteFile(QStringLiteral("big.txt"), {QStringLiteral("' h"), big, QStringLiteral("' t")}));
    Search(QString(), Option1_);
    SelectRow(0);
    QTest::mouseClick(Command4_, Qt::LeftButton);
    const QString shown = Text2_->toPlainText();
    {
        const brackwin::test::FailingLargeAllocations outOfMemory(512 * 1024);
        QTest::mouseClick(Command4_, Qt::LeftButton);
    }
    QCOMPARE(services_.messages.size(), 1);
    QCOMPARE(services_.messages.at(0).text,
             QStringLiteral("メモリが足りないため、追加できませんでした。"));
    QCOMPARE(services_.messages.at(0).caption, QStringLiteral("Brackwin"));
    QCOMPARE(Text2_->toPlainText(), shown);
    QTest::mouseClick(Command3_, Qt::LeftButton);
    QCOMPARE(QGuiApplication::clipboard()->text(), kCrLf + kCrLf + big);
}

// The busy pointer covers the main window and its text boxes, but not the About window.
void TestForm1::loadingStateWhileTheFileIsRead() {
    const QString path = LargeFile();
    mnuVersion_->trigger();
    const QPointer<QWidget> about = brackwin::frmAbout::Current();
    QVERIFY(about);
    std::optional<Enabled> during;
    bool keyBoxBusy = false;
    bool aboutBusy = true;
    QTimer::singleShot(0, this, [&] {
        during = Snapshot();
        keyBoxBusy = IsBusy(Text1_);
        aboutBusy = IsBusy(about);
    });
    Load(path);
    QVERIFY(during);
    QCOMPARE(*during, Loading(false));
    QVERIFY(keyBoxBusy);
    QVERIFY(!aboutBusy);
    QCOMPARE(Snapshot(), Ready(false));
    QCOMPARE(Text1_->cursor().shape(), Qt::IBeamCursor);
}

void TestForm1::searchingStateAndItsGuards() {
    Load(LargeFile());
    std::optional<Enabled> during;
    std::optional<Enabled> afterEnter;
    QTimer::singleShot(0, this, [&] {
        during = Snapshot();
        // A second search inside this one would run to its end right here.
        QTest::keyClick(Text1_, Qt::Key_Return);
        QTest::keyClicks(Text1_, QStringLiteral("x"));
        afterEnter = Snapshot();
    });
    Search(QString(), Option1_);
    QVERIFY(during && afterEnter);
    QCOMPARE(*during, Searching(false));
    QCOMPARE(*afterEnter, Searching(false));
    QCOMPARE(Text1_->text(), QStringLiteral("x"));
    QCOMPARE(List1_->model()->rowCount(), kLargeLineCount - 1);
    QCOMPARE(Snapshot(), Ready(false));
}

void TestForm1::entriesFoundDuringASearchAppearSorted() {
    Load(LargeFile());
    QStringList seen;
    QString selected;
    QTimer::singleShot(0, this, [&] {
        seen = Rows();
        SelectRow(0);
        selected = Label1_->text();
    });
    Search(QString(), Option1_);
    QVERIFY(!seen.isEmpty());
    QVERIFY(seen.size() < kLargeLineCount - 1);
    QStringList sorted = seen;
    std::sort(sorted.begin(), sorted.end(), [](const QString& a, const QString& b) {
        return QString::compare(a, b, Qt::CaseInsensitive) < 0;
    });
    QCOMPARE(seen, sorted);
    // The selection stays on its entry while later entries are placed around it.
    const QModelIndexList selection = List1_->selectionModel()->selectedIndexes();
    QCOMPARE(selection.size(), 1);
    QCOMPARE(selection.at(0).data().toString(), selected);
}

// Each commit shows its entries at once: between two rounds of events the list grows, and an
// entry found so far can be clicked, previewed and added before the search ends.
void TestForm1::entriesCanBeChosenAndAddedWhileTheSearchRuns() {
    Load(LargeFile());
    QList<int> counts;
    QString previewed;
    QTimer sampler;
    connect(&sampler, &QTimer::timeout, this, [&] {
        counts.append(List1_->model()->rowCount());
        if (previewed.isEmpty() && counts.last() > 0) {
            SelectRow(0);
            previewed = Label1_->text();
            QTest::mouseClick(Command4_, Qt::LeftButton);
        }
    });
    sampler.start(0);
    Search(QString(), Option1_);
    sampler.stop();
    QVERIFY2(counts.size() >= 3, qPrintable(QString::number(counts.size())));
    QVERIFY(counts.first() < counts.last());
    QVERIFY(std::is_sorted(counts.begin(), counts.end()));
    // Some entries showed while the search was still finding the rest.
    QVERIFY(std::any_of(counts.begin(), counts.end(),
                        [](int count) { return count > 0 && count < kLargeLineCount - 1; }));
    QVERIFY(!previewed.isEmpty());
    QCOMPARE(Text2_->toPlainText(), QStringLiteral("\n\n") + previewed);
}

void TestForm1::closingDuringASearchStopsIt() {
    Load(LargeFile());
    QTimer::singleShot(0, form_.get(), &QWidget::close);
    Search(QString(), Option1_);
    QVERIFY(!form_->isVisible());
    QVERIFY(List1_->model()->rowCount() < kLargeLineCount - 1);
    QVERIFY(!IsBusy(form_.get()));
}

void TestForm1::closingDuringALoadStopsIt() {
    // The large file in Shift-JIS, whose decoding keeps the load going past the yield's interval
    // however fast the machine reads.
    QFile large(LargeFile());
    QVERIFY(large.open(QIODevice::ReadOnly));
    const QString path = dir_->filePath(QStringLiteral("large-sjis.txt"));
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("' \x82\xa0\r\n" + large.readAll());
    file.close();
    QTimer::singleShot(0, form_.get(), &QWidget::close);
    Load(path);
    QVERIFY(!form_->isVisible());
    QVERIFY(!IsBusy(form_.get()));
    QVERIFY(!Command1_->isEnabled());
}

void TestForm1::endClosesEveryWindowDuringASearch() {
    Load(LargeFile());
    mnuVersion_->trigger();
    const QPointer<QWidget> about = brackwin::frmAbout::Current();
    QVERIFY(about && about->isVisible());
    QTimer::singleShot(0, this, [&] { mnuEnd_->trigger(); });
    Search(QString(), Option1_);
    QVERIFY(!form_->isVisible());
    QVERIFY(!about || !about->isVisible());
    QVERIFY(List1_->model()->rowCount() < kLargeLineCount - 1);
}

void TestForm1::versionShowsOneAboutWindowThatOutlivesTheCloseBox() {
    mnuVersion_->trigger();
    mnuVersion_->trigger();
    int aboutWindows = 0;
    for (QWidget* window : QApplication::topLevelWidgets()) {
        aboutWindows += qobject_cast<brackwin::frmAbout*>(window) != nullptr ? 1 : 0;
    }
    QCOMPARE(aboutWindows, 1);
    const QPointer<QWidget> about = brackwin::frmAbout::Current();
    QVERIFY(about);
    QVERIFY(form_->close());
    QVERIFY(about && about->isVisible());
}

void TestForm1::escapedErrorIsShownTitledBrackwin() {
    brackwin::ShowEscapedError("std::bad_alloc");
    QCOMPARE(services_.messages.size(), 1);
    QCOMPARE(services_.messages.at(0).text, QStringLiteral("std::bad_alloc"));
    QCOMPARE(services_.messages.at(0).caption, QStringLiteral("Brackwin"));
}

QTEST_MAIN(TestForm1)
#include "test_Form1.moc"
