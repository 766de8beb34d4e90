#pragma once

#include <windows.h>

#include <deque>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "ToolkitServices.h"

namespace brackwin::win32 {

// Answers the open dialog from a queue and records messages and links instead of showing or
// opening them, so nothing blocks and nothing leaves the process; the clipboard stays the
// system's.
class StandInServices : public ToolkitServices {
  public:
    struct DialogRequest {
        HWND owner;
        std::string title;
        std::string filter;
        std::string initialFolder;
    };
    struct Message {
        HWND owner;
        std::string text;
        std::string caption;
    };

    std::optional<std::string> ChooseFileToOpen(HWND owner, std::string_view title,
                                                std::string_view filter,
                                                std::string_view initialFolder) override {
        dialogs.push_back(
            {owner, std::string(title), std::string(filter), std::string(initialFolder)});
        if (answers.empty()) {
            return std::nullopt;
        }
        std::optional<std::string> answer = answers.front();
        answers.pop_front();
        return answer;
    }
    void ShowMessage(HWND owner, std::string_view text, std::string_view caption) override {
        messages.push_back({owner, std::string(text), std::string(caption)});
    }
    void OpenUrl(std::string_view target) override { openedUrls.emplace_back(target); }

    // One answer per dialog; nullopt is a cancel, and so is an empty queue.
    std::deque<std::optional<std::string>> answers;
    std::vector<DialogRequest> dialogs;
    std::vector<Message> messages;
    std::vector<std::string> openedUrls;
};

}  // namespace brackwin::win32
