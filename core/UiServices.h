#pragma once

#include <string_view>

namespace brackwin {

// The few user-interface operations the core reaches. The window implements them with the
// toolkit; the finder and the tests with plain stand-ins.

// Lets the user interface process its pending events. The long loops call it once per line.
// An implementation may throw to stop the running operation; the core lets it pass.
class Yield {
  public:
    virtual ~Yield() = default;
    virtual void DoEvents() = 0;
    // Lets pending events run in the middle of one long step (a gigantic line, decoding a large
    // file), which the per-line DoEvents cannot reach; it does not count as a line's yield.
    virtual void DoEventsMidway() {}
};

// The result list as the search fills it: entries are whole lines, appended without a position.
class ResultList {
  public:
    virtual ~ResultList() = default;
    virtual void Clear() = 0;
    virtual void AddItem(std::string_view entry) = 0;
};

class Clipboard {
  public:
    virtual ~Clipboard() = default;
    virtual void Clear() = 0;
    // Offers the text to other programs as plain text; false when the clipboard refused it.
    virtual bool SetText(std::string_view text) = 0;
};

// A modal message with one OK button and no icon; returns when the user has closed it. (Not
// named MessageBox: windows.h defines that as a macro.)
class MessageDialog {
  public:
    virtual ~MessageDialog() = default;
    virtual void Show(std::string_view text, std::string_view caption) = 0;
};

// For loops that need no user interface (the finder, benchmarks).
class NoYield final : public Yield {
  public:
    void DoEvents() override {}
};

}  // namespace brackwin
