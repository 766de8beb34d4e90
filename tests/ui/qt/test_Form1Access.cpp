#include <QAbstractItemView>
#include <QAccessible>
#include <QAccessibleInterface>
#include <QAction>
#include <QApplication>
#include <QFile>
#include <QKeyEvent>
#include <QLabel>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>
#include <algorithm>
#include <memory>

#include "ColourPairs.h"
#include "DarkPalette.h"
#include "Form1Controls.h"
#include "Form1Window.h"
#include "KeyBox.h"
#include "ShownText.h"
#include "StandInServices.h"

using brackwin::Form1Window;
using brackwin::StandInServices;

namespace {

// Entries that begin with upper and lower case, accented and Japanese letters, and enough
// others that a page is shorter than the list.
QStringList Declarations() {
    QStringList lines = {
        QStringLiteral("' header"),
        QStringLiteral("Public Const BETA = 2"),
        QStringLiteral("apricot Public Const X = 1"),
        QStringLiteral("Apple Public Const Y = 2"),
        QStringLiteral("banana Global Const Z = 3"),
        QStringLiteral("Élan Public Const E = 4"),
        QStringLiteral("éclair Public Const F = 5"),
        QStringLiteral("かな Public Const G = 6"),
        QStringLiteral("Public Const LONG = ") + QString(3 * brackwin::kShownLineBytes, u'x'),
    };
    for (int i = 0; i < 60; ++i) {
        lines.append(QStringLiteral("Public Const P_%1 = %1").arg(i, 3, 10, QLatin1Char('0')));
    }
    return lines;
}

double Contrast(const QColor& a, const QColor& b) {
    const auto rgb = [](const QColor& c) {
        return brackwin::Rgb{static_cast<std::uint8_t>(c.red()),
                             static_cast<std::uint8_t>(c.green()),
                             static_cast<std::uint8_t>(c.blue())};
    };
    return brackwin::ContrastRatio(rgb(a), rgb(b));
}

}  // namespace

// The main window used by keyboard alone and through a screen reader, and its colours.
class TestForm1Access : public QObject, private brackwin::Form1Controls {
    Q_OBJECT

  private slots:
    void initTestCase();
    void init();
    void cleanup();

    void escapeChangesNothingInAnyControl();
    void tabCyclesThroughTheControlsBothWays();
    void arrowKeysMoveWithinTheOptionGroup();
    void movementKeysSelectAndPreview();
    void typingMovesToTheNextEntryBeginningWithTheCharacter();

    void resultListIsAListOfItems();
    void itemsFollowANewSearch();
    void controlsHaveNamesAndThePreviewItsText();

    void darkPaletteKeepsColouredTextsReadable();

  private:
    void LoadAndSearch();
    QStringList Rows() const;
    int SelectedRow() const;
    void Press(QWidget* widget, Qt::Key key, Qt::KeyboardModifiers modifiers = {});
    void Type(const QString& character);

    QTemporaryDir dir_;
    StandInServices services_;
    std::unique_ptr<Form1Window> form_;
    QPalette originalPalette_;
};

void TestForm1Access::initTestCase() {
    QVERIFY(dir_.isValid());
    QFile file(dir_.filePath(QStringLiteral("access.txt")));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(Declarations().join(QStringLiteral("\r\n")).toUtf8());
    originalPalette_ = QApplication::palette();
}

void TestForm1Access::init() {
    services_ = StandInServices();
    brackwin::UserInterfaceServices::Install(&services_);
    form_ = std::make_unique<Form1Window>();
    form_->show();
    QVERIFY(QTest::qWaitForWindowExposed(form_.get()));
    QApplication::setActiveWindow(form_.get());
    QVERIFY(QTest::qWaitForWindowActive(form_.get()));

    FindControls(*form_);
}

void TestForm1Access::cleanup() {
    form_.reset();
    QApplication::setPalette(originalPalette_);
    brackwin::UserInterfaceServices::Install(nullptr);
}

void TestForm1Access::LoadAndSearch() {
    services_.answers.enqueue(dir_.filePath(QStringLiteral("access.txt")));
    form_->findChild<QAction*>(QStringLiteral("mnuAPIRead"))->trigger();
    QTest::mouseClick(Command1_, Qt::LeftButton);
    QCOMPARE(List1_->model()->rowCount(), Declarations().size() - 1);
}

QStringList TestForm1Access::Rows() const {
    QStringList rows;
    for (int row = 0; row < List1_->model()->rowCount(); ++row) {
        rows.append(List1_->model()->index(row, 0).data().toString());
    }
    return rows;
}

int TestForm1Access::SelectedRow() const {
    const QModelIndexList selected = List1_->selectionModel()->selectedIndexes();
    return selected.size() == 1 ? selected.front().row() : -1;
}

void TestForm1Access::Press(QWidget* widget, Qt::Key key, Qt::KeyboardModifiers modifiers) {
    QTest::keyClick(widget, key, modifiers);
}

void TestForm1Access::Type(const QString& character) {
    QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, character);
    QApplication::sendEvent(List1_, &press);
    QKeyEvent release(QEvent::KeyRelease, Qt::Key_unknown, Qt::NoModifier, character);
    QApplication::sendEvent(List1_, &release);
}

void TestForm1Access::escapeChangesNothingInAnyControl() {
    LoadAndSearch();
    QTest::mouseClick(List1_->viewport(), Qt::LeftButton, {},
                      List1_->visualRect(List1_->model()->index(2, 0)).center());
    QTest::mouseClick(Command4_, Qt::LeftButton);
    Text1_->setText(QStringLiteral("key"));
    const QString output = Text2_->toPlainText();
    const QString preview = Label1_->text();
    QVERIFY(!output.isEmpty());
    for (QWidget* control : std::initializer_list<QWidget*>{Text1_, Command1_, Command3_, Command2_,
                                                            Option1_, List1_, Text2_, Command4_}) {
        control->setFocus(Qt::TabFocusReason);
        QCOMPARE(QApplication::focusWidget(), control);
        Press(control, Qt::Key_Escape);
        QVERIFY2(form_->isVisible(), qPrintable(control->objectName()));
        QCOMPARE(QApplication::focusWidget(), control);
        QCOMPARE(Text2_->toPlainText(), output);
        QCOMPARE(Label1_->text(), preview);
        QCOMPARE(Text1_->text(), QStringLiteral("key"));
        QCOMPARE(SelectedRow(), 2);
    }
}

// The option group is one stop, its selected button; Label1 is none.
void TestForm1Access::tabCyclesThroughTheControlsBothWays() {
    LoadAndSearch();
    QTest::mouseClick(List1_->viewport(), Qt::LeftButton, {},
                      List1_->visualRect(List1_->model()->index(0, 0)).center());
    QTest::mouseClick(Command4_, Qt::LeftButton);
    Option2_->setChecked(true);
    const QList<QWidget*> forwards = {Text1_, Command1_, Command3_, Command2_, Option2_,
                                      List1_, Text2_,    Command4_, Text1_};
    Text1_->setFocus(Qt::TabFocusReason);
    for (qsizetype i = 1; i < forwards.size(); ++i) {
        Press(QApplication::focusWidget(), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), forwards.at(i));
    }
    for (qsizetype i = forwards.size() - 1; i > 0; --i) {
        Press(QApplication::focusWidget(), Qt::Key_Tab, Qt::ShiftModifier);
        QCOMPARE(QApplication::focusWidget(), forwards.at(i - 1));
    }
    Press(QApplication::focusWidget(), Qt::Key_Backtab, Qt::ShiftModifier);
    QCOMPARE(QApplication::focusWidget(), Command4_);
}

void TestForm1Access::arrowKeysMoveWithinTheOptionGroup() {
    LoadAndSearch();
    Command2_->setFocus(Qt::TabFocusReason);
    Press(Command2_, Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), Option1_);
    const struct {
        Qt::Key key;
        QRadioButton* selected;
    } steps[] = {{Qt::Key_Right, Option2_},
                 {Qt::Key_Down, Option3_},
                 {Qt::Key_Right, Option1_},
                 {Qt::Key_Left, Option3_},
                 {Qt::Key_Up, Option2_}};
    for (const auto& step : steps) {
        Press(QApplication::focusWidget(), step.key);
        QCOMPARE(QApplication::focusWidget(), step.selected);
        QVERIFY(step.selected->isChecked());
    }
    QVERIFY(!Option1_->isChecked() && !Option3_->isChecked());
    Press(Option2_, Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), List1_);
    Press(List1_, Qt::Key_Tab, Qt::ShiftModifier);
    QCOMPARE(QApplication::focusWidget(), Option2_);
}

void TestForm1Access::movementKeysSelectAndPreview() {
    LoadAndSearch();
    const QStringList rows = Rows();
    QTest::mouseClick(List1_->viewport(), Qt::LeftButton, {},
                      List1_->visualRect(List1_->model()->index(5, 0)).center());
    const int rowHeight = List1_->visualRect(List1_->model()->index(0, 0)).height();
    const int page = List1_->viewport()->height() / rowHeight - 1;
    QVERIFY(page > 1 && page < rows.size() / 2);
    const struct {
        Qt::Key key;
        int row;
    } steps[] = {{Qt::Key_Down, 6},
                 {Qt::Key_Up, 5},
                 {Qt::Key_End, static_cast<int>(rows.size()) - 1},
                 {Qt::Key_Home, 0},
                 {Qt::Key_PageDown, page},
                 {Qt::Key_PageDown, 2 * page},
                 {Qt::Key_PageUp, page},
                 {Qt::Key_Up, page - 1}};
    for (const auto& step : steps) {
        Label1_->clear();
        Press(List1_, step.key);
        QCOMPARE(SelectedRow(), step.row);
        QCOMPARE(Label1_->text(), rows.at(step.row));
    }
}

void TestForm1Access::typingMovesToTheNextEntryBeginningWithTheCharacter() {
    LoadAndSearch();
    const QStringList rows = Rows();
    const auto rowBeginning = [&](const QString& start) {
        for (int row = 0; row < rows.size(); ++row) {
            if (rows.at(row).startsWith(start)) {
                return row;
            }
        }
        return -1;
    };
    List1_->setFocus(Qt::TabFocusReason);
    const struct {
        QString typed;
        int row;
    } steps[] = {
        {QStringLiteral("a"), rowBeginning(QStringLiteral("Apple"))},
        {QStringLiteral("A"), rowBeginning(QStringLiteral("apricot"))},
        {QStringLiteral("a"), rowBeginning(QStringLiteral("Apple"))},
        {QStringLiteral("B"), rowBeginning(QStringLiteral("banana"))},
        {QStringLiteral("p"), rowBeginning(QStringLiteral("Public Const BETA"))},
        {QStringLiteral("p"), rowBeginning(QStringLiteral("Public Const LONG"))},
        {QStringLiteral("z"), rowBeginning(QStringLiteral("Public Const LONG"))},
        {QStringLiteral("É"), rowBeginning(QStringLiteral("éclair"))},
        {QStringLiteral("é"), rowBeginning(QStringLiteral("Élan"))},
        {QStringLiteral("か"), rowBeginning(QStringLiteral("かな"))},
    };
    for (const auto& step : steps) {
        QVERIFY(step.row >= 0);
        Type(step.typed);
        QCOMPARE(SelectedRow(), step.row);
        QCOMPARE(Label1_->text(), rows.at(step.row));
        QCOMPARE(List1_->currentIndex().row(), step.row);
    }
}

void TestForm1Access::resultListIsAListOfItems() {
    LoadAndSearch();
    const QStringList rows = Rows();
    QAccessibleInterface* list = QAccessible::queryAccessibleInterface(List1_);
    QVERIFY(list);
    QCOMPARE(list->role(), QAccessible::List);
    QCOMPARE(list->text(QAccessible::Name), QStringLiteral("検索結果"));
    QCOMPARE(list->childCount(), rows.size());
    QVERIFY(list->tableInterface());
    QCOMPARE(list->tableInterface()->rowCount(), rows.size());

    QAccessibleInterface* third = list->child(2);
    QVERIFY(third);
    QCOMPARE(third->role(), QAccessible::ListItem);
    QCOMPARE(third->text(QAccessible::Name), rows.at(2));
    QCOMPARE(third->parent(), list);
    QCOMPARE(list->indexOfChild(third), 2);
    QVERIFY(!third->state().selected);
    QVERIFY(third->state().selectable);

    QTest::mouseClick(List1_->viewport(), Qt::LeftButton, {},
                      List1_->visualRect(List1_->model()->index(2, 0)).center());
    QVERIFY(third->state().selected);
    QCOMPARE(list->tableInterface()->selectedRows(), QList<int>{2});
    QCOMPARE(list->childAt(third->rect().center().x(), third->rect().center().y()), third);

    Press(List1_, Qt::Key_Down);
    QAccessibleInterface* fourth = list->child(3);
    QVERIFY(fourth->state().selected);
    QVERIFY(fourth->state().focused);
    QVERIFY(!third->state().selected);
    QCOMPARE(list->focusChild(), fourth);

    // An entry too long to draw is named by what the row shows.
    const int longRow = static_cast<int>(
        std::find_if(rows.begin(), rows.end(),
                     [](const QString& row) { return row.startsWith(u"Public Const LONG"); }) -
        rows.begin());
    const QString longName = list->child(longRow)->text(QAccessible::Name);
    QCOMPARE(longName, rows.at(longRow));
    QVERIFY(longName.endsWith(QString::fromUtf8(
        brackwin::kCutMark.data(), static_cast<qsizetype>(brackwin::kCutMark.size()))));
    QVERIFY(longName.size() <= static_cast<qsizetype>(brackwin::kShownLineBytes) + 1);

    // A reader's choice is a click: the preview follows.
    QVERIFY(list->tableInterface()->selectRow(0));
    QCOMPARE(SelectedRow(), 0);
    QCOMPARE(Label1_->text(), rows.at(0));
    QVERIFY(!list->tableInterface()->unselectRow(0));
    QVERIFY(list->child(rows.size()) == nullptr);
}

void TestForm1Access::itemsFollowANewSearch() {
    LoadAndSearch();
    QAccessibleInterface* list = QAccessible::queryAccessibleInterface(List1_);
    const QString firstBefore = list->child(0)->text(QAccessible::Name);
    Text1_->setText(QStringLiteral("P_05"));
    QTest::mouseClick(Command1_, Qt::LeftButton);
    QCOMPARE(list->childCount(), 10);
    QCOMPARE(list->child(0)->text(QAccessible::Name), QStringLiteral("Public Const P_050 = 050"));
    QVERIFY(list->child(0)->text(QAccessible::Name) != firstBefore);
    QVERIFY(list->child(10) == nullptr);
}

void TestForm1Access::controlsHaveNamesAndThePreviewItsText() {
    LoadAndSearch();
    const auto name = [](QWidget* widget) {
        return QAccessible::queryAccessibleInterface(widget)->text(QAccessible::Name);
    };
    QCOMPARE(name(Text1_), QStringLiteral("検索キー"));
    QCOMPARE(name(Text2_), QStringLiteral("出力"));
    QCOMPARE(name(Label1_), QStringLiteral("プレビュー"));
    QCOMPARE(name(Command1_), QStringLiteral("サーチ"));
    // The names are not shown.
    QVERIFY(Text1_->text().isEmpty());
    QVERIFY(Text2_->toPlainText().isEmpty());
    QVERIFY(Label1_->text().isEmpty());

    QTest::mouseClick(List1_->viewport(), Qt::LeftButton, {},
                      List1_->visualRect(List1_->model()->index(1, 0)).center());
    QAccessibleInterface* preview = QAccessible::queryAccessibleInterface(Label1_);
    QCOMPARE(preview->role(), QAccessible::StaticText);
    QAccessibleTextInterface* text = preview->textInterface();
    QVERIFY(text);
    QVERIFY(!Label1_->text().isEmpty());
    QCOMPARE(text->characterCount(), Label1_->text().size());
    QCOMPARE(text->text(0, text->characterCount()), Label1_->text());
}

void TestForm1Access::darkPaletteKeepsColouredTextsReadable() {
    QApplication::setPalette(brackwin::DarkPalette());
    // The window hears of the new palette once events are processed.
    QTRY_COMPARE(Label1_->palette().color(QPalette::Window),
                 QApplication::palette("QMenuBar").color(QPalette::Window));
    const QPalette preview = Label1_->palette();
    QVERIFY(Contrast(preview.color(QPalette::WindowText), preview.color(QPalette::Window)) >=
            brackwin::kLeastTextContrast);
    const QPalette rows = List1_->palette();
    for (const QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive}) {
        QVERIFY(Contrast(rows.color(group, QPalette::Text), rows.color(group, QPalette::Base)) >=
                brackwin::kLeastTextContrast);
        QVERIFY(Contrast(rows.color(group, QPalette::HighlightedText),
                         rows.color(group, QPalette::Highlight)) >= brackwin::kLeastTextContrast);
    }
    QCOMPARE(rows.color(QPalette::Active, QPalette::Base), QColor(42, 42, 42));
    QCOMPARE(rows.color(QPalette::Active, QPalette::Text), QColor(Qt::white));
    QCOMPARE(rows.color(QPalette::Active, QPalette::Highlight), QColor(42, 130, 218));
    QCOMPARE(rows.color(QPalette::Active, QPalette::HighlightedText), QColor(Qt::black));
}

QTEST_MAIN(TestForm1Access)
#include "test_Form1Access.moc"
