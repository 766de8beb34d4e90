#pragma once

#include <QAbstractItemView>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QWidget>

#include "KeyBox.h"

namespace brackwin {

// The main window's controls, found by name, for the fixtures that drive them.
class Form1Controls {
  protected:
    // Call last in a fixture's init: a control not found fails the test there.
    void FindControls(const QWidget& form) {
        QVERIFY(Text1_ = form.findChild<KeyBox*>(QStringLiteral("Text1")));
        QVERIFY(Command1_ = form.findChild<QPushButton*>(QStringLiteral("Command1")));
        QVERIFY(Command2_ = form.findChild<QPushButton*>(QStringLiteral("Command2")));
        QVERIFY(Command3_ = form.findChild<QPushButton*>(QStringLiteral("Command3")));
        QVERIFY(Command4_ = form.findChild<QPushButton*>(QStringLiteral("Command4")));
        QVERIFY(Option1_ = form.findChild<QRadioButton*>(QStringLiteral("Option1")));
        QVERIFY(Option2_ = form.findChild<QRadioButton*>(QStringLiteral("Option2")));
        QVERIFY(Option3_ = form.findChild<QRadioButton*>(QStringLiteral("Option3")));
        QVERIFY(List1_ = form.findChild<QAbstractItemView*>(QStringLiteral("List1")));
        QVERIFY(Text2_ = form.findChild<QPlainTextEdit*>(QStringLiteral("Text2")));
        QVERIFY(Label1_ = form.findChild<QLabel*>(QStringLiteral("Label1")));
    }

    KeyBox* Text1_ = nullptr;
    QPushButton* Command1_ = nullptr;
    QPushButton* Command2_ = nullptr;
    QPushButton* Command3_ = nullptr;
    QPushButton* Command4_ = nullptr;
    QRadioButton* Option1_ = nullptr;
    QRadioButton* Option2_ = nullptr;
    QRadioButton* Option3_ = nullptr;
    QAbstractItemView* List1_ = nullptr;
    QPlainTextEdit* Text2_ = nullptr;
    QLabel* Label1_ = nullptr;
};

}  // namespace brackwin
