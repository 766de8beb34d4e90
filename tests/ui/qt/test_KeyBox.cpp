#include <QAccessible>
#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QDialogButtonBox>
#include <QInputMethodEvent>
#include <QMenu>
#include <QPushButton>
#include <QScopeGuard>
#include <QTest>
#include <QTimer>
#include <QTranslator>

#include "KeyBox.h"
#include "QtTranslation.h"

using brackwin::KeyBox;

class TestKeyBox : public QObject {
    Q_OBJECT

  private slots:
    void init();
    void cleanup();

    void editingKeys();
    void longPastedTextStaysWhole();
    void clicksPlaceTheCursor();
    void inputMethodComposesAndCommits();
    void screenReadersReadAndEditTheWholeText();
    void menuAndQtTextsAreJapaneseWithQtsCatalogue();

  private:
    KeyBox* box_ = nullptr;
};

void TestKeyBox::init() {
    box_ = new KeyBox;
    box_->resize(200, 25);
    box_->show();
    QVERIFY(QTest::qWaitForWindowExposed(box_));
    box_->setFocus();
}

void TestKeyBox::cleanup() {
    delete box_;
}

void TestKeyBox::editingKeys() {
    QTest::keyClicks(box_, QStringLiteral("abc"));
    QTest::keyClick(box_, Qt::Key_Left);
    QTest::keyClick(box_, Qt::Key_Left);
    QTest::keyClicks(box_, QStringLiteral("X"));
    QCOMPARE(box_->text(), QStringLiteral("aXbc"));
    QTest::keyClick(box_, Qt::Key_Backspace);
    QCOMPARE(box_->text(), QStringLiteral("abc"));
    QTest::keyClick(box_, Qt::Key_End, Qt::ShiftModifier);
    QCOMPARE(box_->selectedText(), QStringLiteral("bc"));
    QTest::keyClick(box_, Qt::Key_Delete);
    QCOMPARE(box_->text(), QStringLiteral("a"));
    QTest::keyClick(box_, Qt::Key_Home);
    QTest::keyClicks(box_, QStringLiteral("Z"));
    QCOMPARE(box_->text(), QStringLiteral("Za"));
    QTest::keyClick(box_, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(box_, Qt::Key_C, Qt::ControlModifier);
    QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("Za"));
    QTest::keyClicks(box_, QStringLiteral("q"));
    QCOMPARE(box_->text(), QStringLiteral("q"));
    QTest::keyClick(box_, Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(box_->text(), QStringLiteral("Za"));
    QTest::keyClick(box_, Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    QCOMPARE(box_->text(), QStringLiteral("q"));
    // Characters beyond the basic plane move and delete whole.
    box_->setText(QStringLiteral("a\U0001F600b"));
    QTest::keyClick(box_, Qt::Key_Left);
    QTest::keyClick(box_, Qt::Key_Backspace);
    QCOMPARE(box_->text(), QStringLiteral("ab"));
}

// A pasted text keeps every character, line breaks among them, however long it is; editing it
// anywhere keeps the rest.
void TestKeyBox::longPastedTextStaysWhole() {
    QString pasted(3'000'000, QLatin1Char('k'));
    pasted[1000] = QLatin1Char('\n');
    pasted.replace(2000, 2, QStringLiteral("\U0001F600"));
    QGuiApplication::clipboard()->setText(pasted);
    QTest::keyClick(box_, Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(box_->text(), pasted);
    QTest::keyClicks(box_, QStringLiteral("x"));
    QTest::keyClick(box_, Qt::Key_Home);
    QTest::keyClicks(box_, QStringLiteral("y"));
    QString expected = QStringLiteral("y") + pasted + QStringLiteral("x");
    QCOMPARE(box_->text(), expected);
    // Edits inside it, and undoing and redoing them, keep every other character.
    box_->setCursorPosition(1'500'000);
    QTest::keyClicks(box_, QStringLiteral("m"));
    const QString typedInside = QString(expected).insert(1'500'000, QLatin1Char('m'));
    QCOMPARE(box_->text(), typedInside);
    box_->setSelection(999, 2'500'000);
    QTest::keyClick(box_, Qt::Key_Delete);
    expected = QString(typedInside).remove(999, 2'500'000 - 999);
    QCOMPARE(box_->text(), expected);
    QCOMPARE(box_->mid(998, 3), expected.mid(998, 3));
    QTest::keyClick(box_, Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(box_->text(), typedInside);
    QTest::keyClick(box_, Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    QCOMPARE(box_->text(), expected);
    QTest::keyClick(box_, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(box_, Qt::Key_X, Qt::ControlModifier);
    QVERIFY(box_->text().isEmpty());
    QCOMPARE(QGuiApplication::clipboard()->text(), expected);
}

void TestKeyBox::clicksPlaceTheCursor() {
    box_->setText(QStringLiteral("alpha beta"));
    QTest::mouseClick(box_, Qt::LeftButton, {}, QPoint(1, box_->height() / 2));
    QCOMPARE(box_->cursorPosition(), 0);
    QTest::mouseClick(box_, Qt::LeftButton, Qt::ShiftModifier,
                      QPoint(box_->width() - 2, box_->height() / 2));
    QCOMPARE(box_->selectedText(), QStringLiteral("alpha beta"));
    QTest::mouseDClick(box_, Qt::LeftButton, {}, QPoint(4, box_->height() / 2));
    QCOMPARE(box_->selectedText(), QStringLiteral("alpha"));
}

void TestKeyBox::inputMethodComposesAndCommits() {
    box_->setText(QStringLiteral("ab"));
    box_->setCursorPosition(1);
    QInputMethodEvent composing(QStringLiteral("\u304B"), {});
    QApplication::sendEvent(box_, &composing);
    QCOMPARE(box_->text(), QStringLiteral("ab"));
    QInputMethodEvent committed;
    committed.setCommitString(QStringLiteral("\u6F22\u5B57"));
    QApplication::sendEvent(box_, &committed);
    QCOMPARE(box_->text(), QStringLiteral("a\u6F22\u5B57b"));
    QCOMPARE(box_->inputMethodQuery(Qt::ImSurroundingText).toString(), box_->text());
    QCOMPARE(box_->inputMethodQuery(Qt::ImCursorPosition).toInt(), 3);
}

void TestKeyBox::screenReadersReadAndEditTheWholeText() {
    const QString key = QString(100'000, QLatin1Char('k')) + QStringLiteral("END");
    box_->setText(key);
    QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(box_);
    QVERIFY(accessible);
    QCOMPARE(accessible->role(), QAccessible::EditableText);
    QVERIFY(accessible->state().editable);
    QCOMPARE(accessible->text(QAccessible::Value), key);
    QAccessibleTextInterface* text = accessible->textInterface();
    QVERIFY(text);
    QCOMPARE(text->characterCount(), key.size());
    QCOMPARE(text->text(key.size() - 3, key.size()), QStringLiteral("END"));
    QCOMPARE(text->cursorPosition(), key.size());
    QAccessibleEditableTextInterface* editable = accessible->editableTextInterface();
    QVERIFY(editable);
    editable->replaceText(key.size() - 3, key.size(), QStringLiteral("!"));
    QCOMPARE(box_->text(), QString(100'000, QLatin1Char('k')) + QStringLiteral("!"));
}

// With Qt's Japanese catalogue installed as the program installs it, the key box's menu speaks
// Japanese like every other text box's and dialog's.
void TestKeyBox::menuAndQtTextsAreJapaneseWithQtsCatalogue() {
    QTranslator* translator = brackwin::InstallQtTranslation(*qApp);
    if (translator == nullptr) {
        QSKIP("Qt's Japanese catalogue qtbase_ja.qm is not installed");
    }
    const auto uninstall = qScopeGuard([translator] {
        QCoreApplication::removeTranslator(translator);
        delete translator;
    });
    const QDialogButtonBox buttons(QDialogButtonBox::Cancel);
    QCOMPARE(buttons.button(QDialogButtonBox::Cancel)->text(), QStringLiteral("キャンセル"));

    box_->setText(QStringLiteral("abc"));
    box_->selectAll();
    QString copy;
    QTimer::singleShot(0, this, [&copy] {
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        if (menu == nullptr) {
            return;
        }
        for (const QAction* action : menu->actions()) {
            if (action->shortcut() == QKeySequence(QKeySequence::Copy)) {
                copy = action->text();
            }
        }
        menu->close();
    });
    QContextMenuEvent menuEvent(QContextMenuEvent::Keyboard, QPoint(5, 5),
                                box_->mapToGlobal(QPoint(5, 5)));
    QApplication::sendEvent(box_, &menuEvent);
    QCOMPARE(copy, QStringLiteral("コピー(&C)"));
}

QTEST_MAIN(TestKeyBox)
#include "test_KeyBox.moc"
