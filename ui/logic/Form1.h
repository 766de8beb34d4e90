#pragma once

#include <chrono>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "Form1View.h"
#include "LineList.h"
#include "OutputText.h"
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
    // The user copies a selection of Text2 (its copy key or menu command): the clipboard gets
    // the part of the output text it stands for, whole. Nothing happens when from equals to.
    void Text2_Copy(ShownPosition from, ShownPosition to);

    // The entries the result list shows.
    const SortedResultList& Results() const noexcept { return results_; }
    // The output text and the display of it that Text2 shows.
    const OutputText& Output() const noexcept { return output_; }

  private:
    void SetState(WindowState state);
    void ClearResults();
    void KeepUpResults();
    void CommitResults();
    std::vector<std::string_view> SelectedEntries() const;
    // Runs action; when memory runs out in it, the message says that it could not be done.
    // The action leaves the output text and Text2 as they were when it fails.
    template <typename Action>
    void StopIfOutOfMemory(std::string_view message, Action&& action);
    // Shows the output text in Text2 again, after Text2 may have taken part of a change.
    void ShowOutputAgain();

    Form1View& view_;
    LineList APILines;
    std::unique_ptr<clsSystemFolder> systemFolder_;
    std::unique_ptr<clsFileLineRead> fileLineRead_;
    // What the open dialog last gave; a cancelled dialog keeps it.
    std::string dialogFileName_;
    // The output text with its CR LF line breaks; Text2 shows a bounded display of it.
    OutputText output_;
    SortedResultList results_;
    ThrottledYield yield_;
    WindowState state_ = WindowState::NoFile;
};

inline constexpr int kEnterKeyCode = 13;
// The message when a search ran out of memory.
inline constexpr std::string_view kSearchOutOfMemoryMessage =
    "メモリが足りないため、サーチを中止しました。";
// The messages when memory ran out in a preview, an add, a clear, a copy (with the copy button
// or of a selection) or the opening of the About window; each stops only its action.
inline constexpr std::string_view kPreviewOutOfMemoryMessage =
    "メモリが足りないため、プレビューを表示できませんでした。";
inline constexpr std::string_view kAddOutOfMemoryMessage =
    "メモリが足りないため、追加できませんでした。";
inline constexpr std::string_view kClearOutOfMemoryMessage =
    "メモリが足りないため、クリアできませんでした。";
inline constexpr std::string_view kCopyOutOfMemoryMessage =
    "メモリが足りないため、コピーできませんでした。";
inline constexpr std::string_view kAboutOutOfMemoryMessage =
    "メモリが足りないため、バージョン情報を表示できませんでした。";

}  // namespace brackwin
