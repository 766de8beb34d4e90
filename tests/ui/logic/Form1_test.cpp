#include "Form1.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <deque>
#include <functional>
#include <new>
#include <string>
#include <utility>
#include <vector>

#include "FailingAllocator.h"
#include "ShownText.h"
#include "TestFiles.h"

namespace brackwin::test {
namespace {

using namespace std::string_literals;

struct EnableCall {
    Control control;
    bool enabled;
    bool operator==(const EnableCall&) const = default;
    friend void PrintTo(const EnableCall& call, std::ostream* out) {
        *out << static_cast<int>(call.control) << (call.enabled ? " on" : " off");
    }
};

// A view that records what the logic asks of it and answers from what the test set up.
class RecordingView : public Form1View {
  public:
    void Enable(Control control, bool enabled) override { enables.push_back({control, enabled}); }
    void ShowBusyPointer(bool on) override { busy = on; }
    void ResultsAboutToBeCleared() override {}
    void ResultsCleared() override { selected.reset(); }
    void ResultsAboutToBePlaced() override {
        selectedId = selected ? std::optional(results->IdAt(*selected)) : std::nullopt;
    }
    void ResultsPlaced() override {
        if (selectedId) {
            selected = results->IndexOf(*selectedId);
        }
    }
    std::optional<std::size_t> SelectedResult() const override { return selected; }
    std::string KeyText() const override { return key; }
    bool IsSelected(Control option) const override { return option == this->option; }
    void SetLabel1(std::string_view caption) override { label1 = caption; }
    void SetText2(std::string_view text) override {
        FailIf("SetText2");
        text2 = text;
    }
    void AppendText2(std::string_view text) override {
        if (failIn == "AppendText2") {
            // A control may take part of a text before it runs out of memory.
            text2 += text.substr(0, text.size() / 2);
        }
        FailIf("AppendText2");
        text2 += text;
    }
    std::optional<std::string> ShowOpenDialog(const OpenDialogSettings&) override {
        return std::exchange(answer, std::nullopt);
    }
    void ProcessPendingEvents() override {
        if (results != nullptr) {
            countsAtEvents.push_back(results->Count());
        }
        if (duringEvents) {
            std::exchange(duringEvents, nullptr)();
        }
    }
    void ShowAbout() override { FailIf("ShowAbout"); }
    void EndProgram() override {}
    void Clear() override {}
    bool SetText(std::string_view text) override {
        clipboard = text;
        return true;
    }
    void Show(std::string_view text, std::string_view caption) override {
        messages.push_back(std::string(caption) + ": " + std::string(text));
    }

    // The call that runs out of memory, as a toolkit's might, the next time it is made.
    void FailIf(std::string_view call) {
        if (failIn == call) {
            failIn.clear();
            throw std::bad_alloc();
        }
    }

    std::string failIn;
    std::vector<EnableCall> enables;
    bool busy = false;
    std::optional<std::size_t> selected;
    std::optional<SortedResultList::Id> selectedId;
    const SortedResultList* results = nullptr;
    std::string key;
    Control option = Control::Option1;
    std::string label1;
    std::string text2;
    std::optional<std::string> answer;
    // Runs at the next round of events, as a user's action during a load or search would.
    std::function<void()> duringEvents;
    std::string clipboard;
    std::vector<std::string> messages;
    // The list's count at each round of events.
    std::vector<std::size_t> countsAtEvents;
};

constexpr auto kEveryLine = std::chrono::nanoseconds(0);

class Form1Test : public testing::Test {
  protected:
    Form1Test() : form_(view_, kEveryLine) {
        view_.results = &form_.Results();
        form_.Form_Load();
    }

    std::string Write(const std::string& text) {
        return dir_.Write("file" + std::to_string(++files_) + ".txt", text);
    }
    void Load(std::optional<std::string> path) {
        view_.answer = std::move(path);
        view_.enables.clear();
        form_.mnuAPIRead_Click();
    }
    void Search(std::string key, Control option) {
        view_.key = std::move(key);
        view_.option = option;
        view_.enables.clear();
        form_.Command1_Click();
    }
    std::vector<std::string> Rows() const {
        std::vector<std::string> rows;
        for (std::size_t i = 0; i < form_.Results().Count(); ++i) {
            rows.emplace_back(form_.Results().Item(i));
        }
        return rows;
    }
    // A folder of the test's own: the test cases run side by side in processes of their own.
    TempDir dir_;
    int files_ = 0;
    RecordingView view_;
    Form1 form_;
};

const std::string kExample =
    "' header\r\nPublic Const MAX_PATH = 260\r\nGlobal Const GMEM_FIXED = &H0\r\n"
    "Declare Function GetTickCount Lib kernel32 () As Long\r\nType RECT\r\n    Left As Long\r\n"
    "End Type\r\n' trailer\r\n";

std::vector<EnableCall> Calls(std::initializer_list<Control> controls, bool enabled) {
    std::vector<EnableCall> calls;
    for (const Control control : controls) {
        calls.push_back({control, enabled});
    }
    return calls;
}

std::vector<EnableCall> Joined(std::vector<EnableCall> a, const std::vector<EnableCall>& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

const std::initializer_list<Control> kSearchControls = {
    Control::Text1,    Control::Text2,    Control::Option1,  Control::Option2, Control::Option3,
    Control::Command1, Control::Command2, Control::Command3, Control::List1};

// From Ready, so that every control changes.
TEST_F(Form1Test, LoadDisablesMenusFirstAndEnablesThemLast) {
    const std::string path = Write(kExample);
    Load(path);
    Load(path);
    const auto disabled =
        Joined(Calls({Control::mnuAPIRead, Control::mnuEnd}, false), Calls(kSearchControls, false));
    EXPECT_EQ(view_.enables,
              Joined(disabled, Joined(Calls(kSearchControls, true),
                                      Calls({Control::mnuEnd, Control::mnuAPIRead}, true))));
    EXPECT_FALSE(view_.busy);

    Load(path);
    Load("/nonexistent/win32api.txt");
    EXPECT_EQ(view_.enables, Joined(disabled, Calls({Control::mnuEnd, Control::mnuAPIRead}, true)));
}

TEST_F(Form1Test, SearchDisablesItsButtonsAndTheLoadWhileItRuns) {
    Load(Write(kExample));
    std::optional<bool> busyDuring;
    view_.duringEvents = [&] { busyDuring = view_.busy; };
    Search("", Control::Option1);
    EXPECT_EQ(busyDuring, true);
    EXPECT_FALSE(view_.busy);
    const auto searching = Calls(
        {Control::mnuAPIRead, Control::Command1, Control::Command2, Control::Command3}, false);
    EXPECT_EQ(view_.enables, Joined(searching, Calls({Control::Command1, Control::Command2,
                                                      Control::Command3, Control::mnuAPIRead},
                                                     true)));
    EXPECT_EQ(Rows(), (std::vector<std::string>{"Global Const GMEM_FIXED = &H0",
                                                "Public Const MAX_PATH = 260"}));
}

TEST_F(Form1Test, EnterDuringASearchStartsNoSecondOne) {
    Load(Write(kExample));
    int searchesStarted = 0;
    view_.duringEvents = [&] {
        const std::size_t before = view_.enables.size();
        form_.Text1_KeyDown(kEnterKeyCode, 0);
        searchesStarted += view_.enables.size() != before ? 1 : 0;
    };
    Search("", Control::Option1);
    EXPECT_EQ(searchesStarted, 0);
    EXPECT_EQ(Rows().size(), 2U);
}

TEST_F(Form1Test, ClosingDuringASearchStopsIt) {
    std::string text = "' header\r\n";
    for (int i = 0; i < 100; ++i) {
        text += "Public Const C" + std::to_string(i) + " = 1\r\n";
    }
    Load(Write(text));
    view_.duringEvents = [&] { form_.Form_Unload(); };
    Search("", Control::Option1);
    EXPECT_LT(Rows().size(), 10U);
    EXPECT_FALSE(view_.busy);
}

// Placing the entries found takes longer the more there are, so a search that finds many lets
// events run before its interval has passed, with the entries found so far in the list.
TEST(Form1IntervalTest, ManyEntriesFoundLetEventsRunBeforeTheInterval) {
    RecordingView view;
    Form1 form(view, std::chrono::hours(1));
    view.results = &form.Results();
    form.Form_Load();
    const TempDir dir;
    constexpr std::size_t kLines = 100000;
    std::string text = "' header\r\n";
    for (std::size_t i = 0; i < kLines; ++i) {
        text += "Public Const C" + std::to_string(i) + " = 1\r\n";
    }
    view.answer = dir.Write("many.txt", text);
    form.mnuAPIRead_Click();
    view.countsAtEvents.clear();
    form.Command1_Click();
    ASSERT_EQ(form.Results().Count(), kLines);
    EXPECT_TRUE(std::any_of(view.countsAtEvents.begin(), view.countsAtEvents.end(),
                            [](std::size_t count) { return count > 0 && count < kLines; }));
}

// Running out of memory ends the search with a message; the program and the collected text go
// on, and a later search works.
TEST_F(Form1Test, SearchThatRunsOutOfMemoryStopsWithAMessage) {
    Load(Write(kExample));
    view_.selected = 0;
    form_.Command4_Click();
    const std::string collected = view_.text2;
    {
        const FailingLargeAllocations outOfMemory(64 * 1024);
        Search("", Control::Option1);
    }
    EXPECT_EQ(view_.messages,
              std::vector<std::string>{"Brackwin: "s + std::string(kSearchOutOfMemoryMessage)});
    EXPECT_TRUE(Rows().empty());
    EXPECT_FALSE(view_.busy);
    EXPECT_EQ(view_.enables.back(), (EnableCall{Control::mnuAPIRead, true}));
    EXPECT_EQ(view_.text2, collected);

    Search("max", Control::Option1);
    EXPECT_EQ(Rows(), std::vector<std::string>{"Public Const MAX_PATH = 260"});
    EXPECT_EQ(view_.messages.size(), 1U);
}

// The controls get a bounded text, the clipboard the whole of it.
TEST_F(Form1Test, HugeLinesAreShownCutAndCopiedWhole) {
    const std::string big = "Public Const BIG = " + std::string(3'000'000, 'A');
    Load(Write("' h\r\n" + big + "\r\nPublic Const X = 1\r\n' t\r\n"));
    Search("big", Control::Option1);
    view_.selected = 0;
    form_.List1_Click();
    EXPECT_EQ(view_.label1, ShownLine(big));
    form_.List1_DblClick();
    EXPECT_EQ(view_.text2, "\r\n\r\n" + ShownLine(big));
    form_.Command3_Click();
    EXPECT_EQ(view_.clipboard, "\r\n\r\n" + big);
}

// Running out of memory in a preview, an add, a clear, a copy or the About window's opening
// stops that action with its message; the output text and Text2 stay as they were, and the
// next action works.
class Form1OutOfMemoryTest : public Form1Test {
  protected:
    Form1OutOfMemoryTest() {
        Load(Write("' h\r\n" + big_ + "\r\nPublic Const X = 1\r\n' t\r\n"));
        Search("", Control::Option1);
        view_.selected = 0;
        form_.List1_DblClick();
        collected_ = std::string(form_.Output().Text());
        shown_ = view_.text2;
    }
    void ExpectStoppedWith(std::string_view message) {
        EXPECT_EQ(view_.messages, std::vector<std::string>{"Brackwin: " + std::string(message)});
        EXPECT_EQ(form_.Output().Text(), collected_);
        EXPECT_EQ(view_.text2, shown_);
        EXPECT_EQ(form_.Output().Shown(), shown_);
        view_.messages.clear();
    }

    // Adding or copying it needs a block above the failing size.
    const std::string big_ = "Public Const BIG = " + std::string(1 << 20, 'A');
    std::string collected_;
    std::string shown_;
};

TEST_F(Form1OutOfMemoryTest, AddPreviewAndCopyStopWhenTheirMemoryRunsOut) {
    {
        const FailingLargeAllocations outOfMemory(512 * 1024);
        form_.List1_DblClick();
        ExpectStoppedWith(kAddOutOfMemoryMessage);
        form_.Command3_Click();
        ExpectStoppedWith(kCopyOutOfMemoryMessage);
        form_.Text2_Copy({0, 0}, {3, 0});
        ExpectStoppedWith(kCopyOutOfMemoryMessage);
    }
    {
        // The preview takes no more of a line than the label shows.
        const FailingLargeAllocations outOfMemory(kShownLineBytes);
        view_.label1 = "before";
        form_.List1_Click();
    }
    ExpectStoppedWith(kPreviewOutOfMemoryMessage);
    EXPECT_EQ(view_.label1, "before");
    form_.List1_DblClick();
    EXPECT_EQ(form_.Output().Text(), collected_ + collected_);
    EXPECT_TRUE(view_.messages.empty());
}

TEST_F(Form1OutOfMemoryTest, ControlsThatRunOutOfMemoryStopTheirAction) {
    view_.failIn = "AppendText2";
    form_.List1_DblClick();
    ExpectStoppedWith(kAddOutOfMemoryMessage);
    view_.failIn = "SetText2";
    form_.Command2_Click();
    ExpectStoppedWith(kClearOutOfMemoryMessage);
    view_.failIn = "ShowAbout";
    form_.mnuVersion_Click();
    ExpectStoppedWith(kAboutOutOfMemoryMessage);

    form_.Command2_Click();
    EXPECT_EQ(form_.Output().Text(), "");
    EXPECT_EQ(view_.text2, "");
    EXPECT_TRUE(view_.messages.empty());
}

// Text2 shows a bounded display; what is copied of a selection is the text it stands for.
TEST_F(Form1OutOfMemoryTest, CopyingASelectionCopiesTheWholeTextItStandsFor) {
    const std::size_t shown = ShownLength(big_);
    form_.Text2_Copy({2, 13}, {2, shown + 1});
    EXPECT_EQ(view_.clipboard, big_.substr(13));
    form_.Text2_Copy({2, 13}, {2, 18});
    EXPECT_EQ(view_.clipboard, "BIG =");
    view_.clipboard = "kept";
    form_.Text2_Copy({2, 13}, {2, 13});
    EXPECT_EQ(view_.clipboard, "kept");
    EXPECT_TRUE(view_.messages.empty());
}

TEST_F(Form1Test, TypePreviewShowsItsFirstLinesOnly) {
    std::string text = "' h\r\nType ENDLESS\r\n";
    for (int i = 0; i < 1000; ++i) {
        text += "    Member" + std::to_string(i) + " As Long\r\n";
    }
    Load(Write(text));
    Search("", Control::Option3);
    view_.selected = 0;
    view_.option = Control::Option3;
    form_.List1_Click();
    EXPECT_EQ(std::count(view_.label1.begin(), view_.label1.end(), '\n'),
              static_cast<std::ptrdiff_t>(kShownPreviewLines - 1));
    EXPECT_TRUE(view_.label1.starts_with("Type ENDLESS\r\n    Member0 As Long\r\n"));
}

}  // namespace
}  // namespace brackwin::test
