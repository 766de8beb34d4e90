#pragma once

#include <string>

namespace brackwin {

// One hyperlink of the About window: the target it opens and the text it shows.
struct AboutLink {
    std::string url;
    std::string caption;
};

// What the About window's load step writes, in UTF-8: the same for every toolkit.
struct AboutContents {
    std::string caption;     // the window's caption
    std::string version;     // lblVersion
    std::string title;       // lblTitle
    AboutLink homePage;      // TAVI_HP_LINK: the site's title, a CR LF, then the address
    AboutLink mail;          // TAVI_LINK_MAIL: a mailto: target showing the bare address
    std::string disclaimer;  // Label1
};

// Built from the application's identity and the About window's link constants.
AboutContents MakeAboutContents();

}  // namespace brackwin
