#pragma once

#include <QMainWindow>
#include <QString>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "LineList.h"
#include "ThrottledYield.h"
#include "WindowState.h"

class QAction;
class QCloseEvent;
class QLabel;
class QLineEdit;
class QListView;
class QMenu;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;

namespace brackwin {

class ResultListModel;
class clsFileLineRead;
class clsSystemFolder;

// The main window: loads a declaration file, searches it into the sorted result list,
// previews and collects entries into the output text, and copies that text.
class Form1 : public QMainWindow {
    Q_OBJECT

  public:
    explicit Form1(QWidget* parent = nullptr);
    ~Form1() override;

  protected:
    // Closing during a load or a search stops that operation at its next yield.
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void mnuAPIRead_Click();
    void Command1_Click();
    void Text1_KeyDown(int KeyCode, Qt::KeyboardModifiers Shift);
    void mnuEnd_Click();
    void mnuVersion_Click();
    void Command4_Click();
    void List1_Click();
    void List1_DblClick();
    void Command2_Click();
    void Command3_Click();

    void SetState(WindowState state);
    QString InitialFolder() const;
    std::vector<std::string_view> SelectedEntries() const;
    void ShowOutputText();

    LineList APILines;
    std::unique_ptr<clsSystemFolder> systemFolder_;
    std::unique_ptr<clsFileLineRead> fileLineRead_;
    // What the open dialog last gave; a cancelled dialog keeps it.
    QString dialogFileName_;
    // The output text with its CR LF line breaks; Text2 shows it.
    std::string outputText_;
    WindowState state_ = WindowState::NoFile;

    ResultListModel* results_;
    ThrottledYield yield_;

    QMenu* mnuFile;
    QAction* mnuAPIRead;
    QAction* mnuSep1;
    QAction* mnuEnd;
    QAction* mnuVersion;
    QLineEdit* Text1;
    QPushButton* Command1;
    QPushButton* Command3;
    QPushButton* Command2;
    QRadioButton* Option1;
    QRadioButton* Option2;
    QRadioButton* Option3;
    QListView* List1;
    QPlainTextEdit* Text2;
    QLabel* Label1;
    QPushButton* Command4;
};

}  // namespace brackwin
