#include "Form1.h"

#include <chrono>
#include <exception>
#include <new>
#include <optional>
#include <utility>

#include "APISearch.h"
#include "AppIdentity.h"
#include "Collection.h"
#include "ShownText.h"
#include "clsFileLineRead.h"
#include "clsSystemFolder.h"
#include "modFindFile.h"

namespace brackwin {

namespace {

// The load's menu item and its open dialog share this text.
constexpr std::string_view kLoadTitle = "APIファイルの読み込み";
constexpr std::string_view kFilterDescription = "APIファイル (*.txt)";
constexpr std::string_view kFilterPattern = "*.txt";

// The result list merges its runs in steps of this many entries (well under a millisecond), for
// as long as the stretch since the last round of events is shorter than kMergingStretch.
constexpr std::size_t kMergeStep = std::size_t{1} << 12;
constexpr auto kMergingStretch = std::chrono::milliseconds(12);
// Placing this many entries found takes a few milliseconds, so a search that finds entries fast
// lets events run once this many wait, however short the stretch. The first round comes at half
// as many: its stretch already holds the handler's own work, and the list's first placing costs
// the most, as the list is laid out for a scroll bar.
constexpr std::size_t kMostPending = std::size_t{3} << 13;
constexpr std::size_t kMostPendingFirst = kMostPending / 2;

// The busy pointer for as long as a file is read or searched, also when that ends in an error.
class BusyPointer {
  public:
    explicit BusyPointer(Form1View& view) : view_(view) { view_.ShowBusyPointer(true); }
    ~BusyPointer() { view_.ShowBusyPointer(false); }
    BusyPointer(const BusyPointer&) = delete;
    BusyPointer& operator=(const BusyPointer&) = delete;

  private:
    Form1View& view_;
};

}  // namespace

Form1::Form1(Form1View& view, ThrottledYield::Clock::duration yieldInterval)
    : view_(view),
      yield_(
          [this] {
              KeepUpResults();
              view_.ProcessPendingEvents();
          },
          [this] {
              return results_.PendingCount() >=
                     (results_.Count() == 0 ? kMostPendingFirst : kMostPending);
          },
          yieldInterval) {
    // A round of events places what waits soon after kMostPending entries do.
    results_.ReservePending(2 * kMostPending);
}

Form1::~Form1() = default;

void Form1::Form_Load() {
    state_ = WindowState::NoFile;
    ApplyWindowState(state_, view_);
    view_.Enable(Control::Command4, false);
}

void Form1::Form_Unload() {
    yield_.RequestStop();
}

void Form1::mnuAPIRead_Click() {
    // The handler's own work before the first line (clearing the list, disabling controls)
    // already keeps the window from its events, so the first interval counts from here.
    yield_.Start();
    ClearResults();
    SetState(WindowState::Loading);
    bool loaded = false;
    try {
        if (!systemFolder_) {
            systemFolder_ = std::make_unique<clsSystemFolder>();
        }
        const std::optional<std::string> chosen = view_.ShowOpenDialog(
            {kLoadTitle, kFilterDescription, kFilterPattern,
             modFindFile::AddBackslash(systemFolder_->VB5Install()) + "winapi"});
        if (chosen) {
            dialogFileName_ = *chosen;
        }
        if (!fileLineRead_) {
            fileLineRead_ = std::make_unique<clsFileLineRead>();
        }
        fileLineRead_->SetFileName(dialogFileName_);
        const BusyPointer busy(view_);
        // Clearing the list and disabling the controls can take a whole interval under Wine, so
        // events may get a round before the first stretch of reading.
        yield_.DoEventsMidway();
        fileLineRead_->FileLineRead(APILines, yield_);
        loaded = true;
    } catch (const OperationStopped&) {
        // The window is closing.
    } catch (const std::exception&) {
        // The failure path shows no message: the search controls stay disabled.
    }
    SetState(loaded ? WindowState::Ready : WindowState::NoFile);
}

void Form1::Command1_Click() {
    // As in the load, the interval counts from the handler's start.
    yield_.Start();
    SetState(WindowState::Searching);
    const std::int32_t category = view_.IsSelected(Control::Option1)   ? kConstants
                                  : view_.IsSelected(Control::Option2) ? kFunctions
                                                                       : kTypes;
    const std::string key = view_.KeyText();
    bool outOfMemory = false;
    {
        const BusyPointer busy(view_);
        try {
            ClearResults();
            APISearch(APILines, key, category, results_, yield_);
            // Placing the last entries found is a large piece of work, and so is each step of
            // merging the runs a fast search leaves beyond what reading looks into: the yield
            // reads the clock after each.
            CommitResults();
            yield_.DoEventsMidway();
            while (results_.MergeSome(kMergeStep)) {
                yield_.DoEventsMidway();
            }
        } catch (const OperationStopped&) {
            // The window is closing; the entries found so far are of no use to anyone.
        } catch (const std::bad_alloc&) {
            // A partial list would pass for the whole result, and its memory is what ran out.
            ClearResults();
            outOfMemory = true;
        }
    }
    SetState(WindowState::Ready);
    if (outOfMemory) {
        view_.Show(kSearchOutOfMemoryMessage, kAppTitle);
    }
}

void Form1::Text1_KeyDown(int KeyCode, [[maybe_unused]] int Shift) {
    // A second search must not run inside a running one, so Enter waits for it to end.
    if (KeyCode == kEnterKeyCode && state_ != WindowState::Searching) {
        Command1_Click();
    }
}

void Form1::mnuEnd_Click() {
    view_.EndProgram();
}

void Form1::mnuVersion_Click() {
    StopIfOutOfMemory(kAboutOutOfMemoryMessage, [this] { view_.ShowAbout(); });
}

void Form1::Command4_Click() {
    List1_DblClick();
}

void Form1::List1_Click() {
    StopIfOutOfMemory(kPreviewOutOfMemoryMessage, [this] {
        const Preview preview =
            PreviewSelection(SelectedEntries(), view_.IsSelected(Control::Option3), APILines,
                             kShownPreviewLines, kLineBytesToShow);
        view_.SetLabel1(ShownText(preview.text, kShownPreviewLines));
        if (preview.enableAdd) {
            view_.Enable(Control::Command4, true);
        }
    });
}

void Form1::List1_DblClick() {
    StopIfOutOfMemory(kAddOutOfMemoryMessage, [this] {
        const std::vector<std::string_view> selected = SelectedEntries();
        const bool typesOption = view_.IsSelected(Control::Option3);
        const std::string shown = output_.Append(
            [&](AdditionSink& sink) { AppendSelection(sink, selected, typesOption, APILines); });
        try {
            view_.AppendText2(shown);
        } catch (...) {
            output_.RemoveLastAddition();
            ShowOutputAgain();
            throw;
        }
    });
}

void Form1::Command2_Click() {
    StopIfOutOfMemory(kClearOutOfMemoryMessage, [this] {
        try {
            view_.SetText2({});
        } catch (...) {
            ShowOutputAgain();
            throw;
        }
        output_.Clear();
    });
}

void Form1::Command3_Click() {
    StopIfOutOfMemory(kCopyOutOfMemoryMessage,
                      [this] { CopyToClipboard(output_.Text(), view_, view_); });
}

void Form1::Text2_Copy(ShownPosition from, ShownPosition to) {
    if (from == to) {
        return;
    }
    StopIfOutOfMemory(kCopyOutOfMemoryMessage, [&] {
        const std::string selected = output_.RealText(from, to);
        view_.Clear();
        view_.SetText(selected);
    });
}

template <typename Action>
void Form1::StopIfOutOfMemory(std::string_view message, Action&& action) {
    try {
        action();
    } catch (const std::bad_alloc&) {
        view_.Show(message, kAppTitle);
    }
}

void Form1::ShowOutputAgain() {
    view_.SetText2(output_.Shown());
}

void Form1::SetState(WindowState state) {
    ApplyWindowState(state_, state, view_);
    state_ = state;
}

void Form1::ClearResults() {
    view_.ResultsAboutToBeCleared();
    results_.Clear();
    view_.ResultsCleared();
}

// Places the entries found since the last round of events, so the list shows them, and merges
// with what is left of a short stretch: the window keeps answering within about twice the
// yield's interval however fast a search finds entries.
void Form1::KeepUpResults() {
    CommitResults();
    while (ThrottledYield::Clock::now() - yield_.LastEvents() < kMergingStretch &&
           results_.MergeSome(kMergeStep)) {
    }
}

void Form1::CommitResults() {
    if (results_.PendingCount() == 0) {
        return;
    }
    view_.ResultsAboutToBePlaced();
    try {
        results_.Commit();
    } catch (const std::bad_alloc&) {
        // The list is unchanged; the view's bracket is closed all the same.
        view_.ResultsPlaced();
        throw;
    }
    view_.ResultsPlaced();
}

std::vector<std::string_view> Form1::SelectedEntries() const {
    std::vector<std::string_view> selected;
    if (const std::optional<std::size_t> index = view_.SelectedResult();
        index && *index < results_.Count()) {
        selected.push_back(results_.Item(*index));
    }
    return selected;
}

}  // namespace brackwin
