#include "WindowState.h"

#include <array>
#include <cstddef>
#include <optional>

namespace brackwin {

namespace {

struct Enabled {
    bool mnuAPIRead;
    bool mnuEnd;
    bool keyOptionsListOutput;  // Text1, Option1 to Option3, List1, Text2
    bool searchButtons;         // Command1 to Command3
};

// Indexed by WindowState. Searching disables the load as well, so the line list is never
// replaced under a running search.
// clang-format off
constexpr std::array<Enabled, 4> kEnabled = {{
    //               mnuAPIRead  mnuEnd  key, options, list, output  search buttons
    /* NoFile    */ {true,       true,   false,                      false},
    /* Loading   */ {false,      false,  false,                      false},
    /* Ready     */ {true,       true,   true,                       true},
    /* Searching */ {false,      true,   true,                       false},
}};

// The order a load disables them in; enabling runs from Text1 to List1, then mnuEnd, then
// mnuAPIRead.
constexpr std::array<Control, 11> kDisableOrder = {
    Control::mnuAPIRead, Control::mnuEnd,
    Control::Text1, Control::Text2, Control::Option1, Control::Option2, Control::Option3,
    Control::Command1, Control::Command2, Control::Command3, Control::List1,
};
constexpr std::array<Control, 11> kEnableOrder = {
    Control::Text1, Control::Text2, Control::Option1, Control::Option2, Control::Option3,
    Control::Command1, Control::Command2, Control::Command3, Control::List1,
    Control::mnuEnd, Control::mnuAPIRead,
};
// clang-format on

bool IsEnabled(WindowState state, Control control) {
    const Enabled& enabled = kEnabled[static_cast<std::size_t>(state)];
    switch (control) {
        case Control::mnuAPIRead:
            return enabled.mnuAPIRead;
        case Control::mnuEnd:
            return enabled.mnuEnd;
        case Control::Command1:
        case Control::Command2:
        case Control::Command3:
            return enabled.searchButtons;
        default:
            return enabled.keyOptionsListOutput;
    }
}

void Apply(std::optional<WindowState> from, WindowState to, Form1View& view) {
    const auto changes = [&](Control control) {
        return !from || IsEnabled(*from, control) != IsEnabled(to, control);
    };
    for (const Control control : kDisableOrder) {
        if (!IsEnabled(to, control) && changes(control)) {
            view.Enable(control, false);
        }
    }
    for (const Control control : kEnableOrder) {
        if (IsEnabled(to, control) && changes(control)) {
            view.Enable(control, true);
        }
    }
}

}  // namespace

void ApplyWindowState(WindowState from, WindowState to, Form1View& view) {
    Apply(from, to, view);
}

void ApplyWindowState(WindowState to, Form1View& view) {
    Apply(std::nullopt, to, view);
}

}  // namespace brackwin
