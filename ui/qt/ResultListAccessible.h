#pragma once

namespace brackwin {

// Lets screen readers see List1 as a platform list: a list whose items are its entries, each
// named by the text the row shows and telling whether it is selected. An item is made only when
// a reader asks for it, so a list of millions costs nothing until then. Every view installs it.
void InstallResultListAccessibility();

}  // namespace brackwin
