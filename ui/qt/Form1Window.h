#pragma once

#include <QHash>
#include <QMainWindow>

#include "Form1.h"
#include "Form1View.h"

class QAction;
class QCloseEvent;
class QMenu;
class QPushButton;
class QRadioButton;

namespace brackwin {

class KeyBox;
class OutputTextEdit;
class ReadableLabel;
class ResultListModel;
class ResultListView;

// The main window on Qt: creates the controls, wires their events to the window logic's handlers
// and carries out what the logic asks of the view.
class Form1Window : public QMainWindow, private Form1View {
    Q_OBJECT

  public:
    explicit Form1Window(QWidget* parent = nullptr);
    ~Form1Window() override;

  protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void changeEvent(QEvent* event) override;

  private:
    // Colours the texts the window colours itself so that they stay readable in the palette.
    void ApplyColours();
    void List1_CharacterTyped(const QString& character);

    void Enable(Control control, bool enabled) override;
    void ShowBusyPointer(bool busy) override;
    void ResultsAboutToBeCleared() override;
    void ResultsCleared() override;
    void ResultsAboutToBePlaced() override;
    void ResultsPlaced() override;
    std::optional<std::size_t> SelectedResult() const override;
    std::string KeyText() const override;
    bool IsSelected(Control option) const override;
    void SetLabel1(std::string_view caption) override;
    void SetText2(std::string_view text) override;
    void AppendText2(std::string_view text) override;
    std::optional<std::string> ShowOpenDialog(const OpenDialogSettings& settings) override;
    void ProcessPendingEvents() override;
    void ShowAbout() override;
    void EndProgram() override;
    void Clear() override;
    bool SetText(std::string_view text) override;
    void Show(std::string_view text, std::string_view caption) override;

    QWidget* Widget(Control control) const;

    Form1 logic_;
    ResultListModel* results_ = nullptr;
    // The pointers the busy pointer hid, to be restored after it.
    QHash<QWidget*, QCursor> ownCursors_;

    QMenu* mnuFile;
    QAction* mnuAPIRead;
    QAction* mnuSep1;
    QAction* mnuEnd;
    QAction* mnuVersion;
    KeyBox* Text1;
    QPushButton* Command1;
    QPushButton* Command3;
    QPushButton* Command2;
    QRadioButton* Option1;
    QRadioButton* Option2;
    QRadioButton* Option3;
    ResultListView* List1;
    OutputTextEdit* Text2;
    ReadableLabel* Label1;
    QPushButton* Command4;
};

}  // namespace brackwin
