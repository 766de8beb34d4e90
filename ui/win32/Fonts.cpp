#include "Fonts.h"

#include <cwchar>
#include <stdexcept>

#include "Dpi.h"

namespace brackwin::win32 {

namespace {

constexpr wchar_t kMsPGothic[] = L"ＭＳ Ｐゴシック";

LOGFONTW SystemMessageFont() {
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof metrics;
    if (!SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0)) {
        GetObjectW(GetStockObject(DEFAULT_GUI_FONT), sizeof metrics.lfMessageFont,
                   &metrics.lfMessageFont);
    }
    return metrics.lfMessageFont;
}

int CALLBACK NoteFound(const LOGFONTW*, const TEXTMETRICW*, DWORD, LPARAM found) {
    *reinterpret_cast<bool*>(found) = true;
    return 0;
}

// The font mapper always answers with some face, so only an enumeration tells whether this one
// is installed.
bool IsInstalled(const wchar_t* face) {
    LOGFONTW wanted{};
    wanted.lfCharSet = DEFAULT_CHARSET;
    std::wcsncpy(wanted.lfFaceName, face, LF_FACESIZE - 1);
    bool found = false;
    EnumFontFamiliesExW(WindowDc(nullptr).Get(), &wanted, NoteFound,
                        reinterpret_cast<LPARAM>(&found), 0);
    return found;
}

UniqueFont Create(const LOGFONTW& font) {
    UniqueFont created(CreateFontIndirectW(&font));
    if (!created) {
        throw std::runtime_error("the system could not create a font");
    }
    return created;
}

}  // namespace

UniqueFont MsPGothicFont(double points, int dpi, LONG weight, bool underline) {
    static const bool installed = IsInstalled(kMsPGothic);
    LOGFONTW font{};
    if (installed) {
        std::wcsncpy(font.lfFaceName, kMsPGothic, LF_FACESIZE - 1);
    } else {
        std::wcsncpy(font.lfFaceName, SystemMessageFont().lfFaceName, LF_FACESIZE - 1);
    }
    font.lfHeight = FontHeight(points, dpi);
    font.lfWeight = weight;
    font.lfUnderline = underline ? TRUE : FALSE;
    font.lfCharSet = SHIFTJIS_CHARSET;
    return Create(font);
}

UniqueFont MessageFont(int dpi) {
    LOGFONTW font = SystemMessageFont();
    font.lfHeight = MulDiv(font.lfHeight, dpi, SystemDpi());
    return Create(font);
}

}  // namespace brackwin::win32
