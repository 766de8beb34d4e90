#include "AboutContents.h"

#include "AboutLinks.h"
#include "AppIdentity.h"

namespace brackwin {

AboutContents MakeAboutContents() {
    const std::string title(kAppTitle);
    const std::string homePage(kHomePageAddress);
    const std::string contact(kContactAddress);

    AboutContents contents;
    contents.caption = title + "のﾊﾞｰｼﾞｮﾝ情報";
    contents.version = "ﾊﾞｰｼﾞｮﾝ " + std::to_string(kVersionMajor) + "." +
                       std::to_string(kVersionMinor) + "." + std::to_string(kVersionRevision);
    contents.title = title;
    contents.homePage = {homePage, "「" + std::string(kHomePageTitle) + "」\r\n" + homePage};
    contents.mail = {"mailto:" + contact, contact};
    contents.disclaimer =
        "このソフトウェアの使用に関して、直接的または間接的に生じる一切の損害について、作者は如何"
        "なる責任も負いません。このことは、このソフトウェアの使用をもって同意されたものと見なしま"
        "す。";
    return contents;
}

}  // namespace brackwin
