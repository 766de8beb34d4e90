#include <QAccessible>
#include <QApplication>
#include <QClipboard>
#include <QInputMethodEvent>
#include <QTest>

#include "KeyBox.h"

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

// A pasted text keeps every character, line breaks among them, however long it is; editing at
// either end keeps the rest.
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
    QCOMPARE(box_->text(), QStringLiteral("y") + pasted + QStringLiteral("x"));
    QTest::keyClick(box_, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(box_, Qt::Key_X, Qt::ControlModifier);
    QVERIFY(box_->text().isEmpty());
    QCOMPARE(QGuiApplication::clipboard()->text(),
             QStringLiteral("y") + pasted + QStringLiteral("x"));
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

QTEST_MAIN(TestKeyBox)
#include "test_KeyBox.moc"
