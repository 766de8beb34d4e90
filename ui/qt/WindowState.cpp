#include "WindowState.h"

#include <QAction>
#include <QWidget>
#include <array>
#include <cstddef>
#include <initializer_list>
#include <utility>

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
    const bool others = enabled.keyOptionsListOutput;
    const bool buttons = enabled.searchButtons;
    // The search controls in the order the load disables and enables them.
    const std::initializer_list<std::pair<QWidget*, bool>> ordered = {
        {controls.Text1, others},     {controls.Text2, others},     {controls.Option1, others},
        {controls.Option2, others},   {controls.Option3, others},   {controls.Command1, buttons},
        {controls.Command2, buttons}, {controls.Command3, buttons}, {controls.List1, others},
    };
    for (const auto& [control, on] : ordered) {
        control->setEnabled(on);
    }
}

}  // namespace brackwin
