#pragma once

#include <chrono>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "Form1View.h"
#include "LineList.h"
#include "SortedResultList.h"
#include "ThrottledYield.h"
#include "WindowState.h"

namespace brackwin {

class clsFileLineRead;
class clsSystemFolder;

// The main window's logic: loads a declaration file, searches it into the sorted result list,
// previews and collects entries into the output text, and copies that text. Each toolkit's window
// creates the controls, implements the view and calls these handlers on its events; the steps
// and the window's states live only here.
class Form1 {
  public:
    // The yield lets events run every yieldInterval of a long load or search, and sooner while
    // a search finds entries faster than a round can place them.
    explicit Form1(Form1View& view,
                   ThrottledYield::Clock::duration yieldInterval = std::chrono::milliseconds(8));
    ~Form1();
    Form1(const Form1&) = delete;
    Form1& operator=(const Form1&) = delete;

    // The window has created its controls: it enters the No file state.
    void Form_Load();
    // The window is closing: a running load or search stops at its next yield.
    void Form_Unload();

    void mnuAPIRead_Click();
    void Command1_Click();
    // KeyCode is the virtual-key code (13 is Enter); Shift the state of Shift, Ctrl and Alt.
    void Text1_KeyDown(int KeyCode, int Shift);
    void mnuEnd_Click();
    void mnuVersion_Click();
    void Command4_Click();
    void List1_Click();
    void List1_DblClick();
    void Command2_Click();
    void Command3_Click();

    // The entries the result list shows.
    const SortedResultList& Results() const noexcept { return results_; }

  private:
    void SetState(WindowState state);
    void ClearResults();
    void KeepUpResults();
    void CommitResults();
    std::vector<std::string_view> SelectedEntries() const;

    Form1View& view_;
    LineList APILines;
    std::unique_ptr<clsSystemFolder> systemFolder_;
    std::unique_ptr<clsFileLineRead> fileLineRead_;
    // What the open dialog last gave; a cancelled dialog keeps it.
    std::string dialogFileName_;
    // The output text with its CR LF line breaks; Text2 shows it.
    std::string outputText_;
    SortedResultList results_;
    ThrottledYield yield_;
    WindowState state_ = WindowState::NoFile;
};

inline constexpr int kEnterKeyCode = 13;
// The message when a search ran out of memory.
inline constexpr std::string_view kSearchOutOfMemoryMessage =
    "メモリが足りないため、サーチを中止しました。";

}  // namespace brackwin
