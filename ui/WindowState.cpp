#include "WindowState.h"

#include <QAction>
#include <QWidget>
#include <array>
#include <cstddef>
#include <initializer_list>

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
// clang-format on

}  // namespace

void ApplyWindowState(WindowState state, const StateControls& controls) {
    const Enabled& enabled = kEnabled[static_cast<std::size_t>(state)];
    controls.mnuAPIRead->setEnabled(enabled.mnuAPIRead);
    controls.mnuEnd->setEnabled(enabled.mnuEnd);
    for (QWidget* control : {controls.Text1, controls.Option1, controls.Option2, controls.Option3,
                             controls.List1, controls.Text2}) {
        control->setEnabled(enabled.keyOptionsListOutput);
    }
    for (QWidget* button : {controls.Command1, controls.Command2, controls.Command3}) {
        button->setEnabled(enabled.searchButtons);
    }
}

}  // namespace brackwin
