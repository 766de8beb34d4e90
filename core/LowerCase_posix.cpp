#include <locale.h>
#include <wctype.h>

#include <memory>
#include <stdexcept>
#include <type_traits>

#include "LowerCase.h"

namespace brackwin {

namespace {

using Locale = std::unique_ptr<std::remove_pointer_t<locale_t>, decltype(&freelocale)>;

// Plain towlower follows the global locale, which the program sets from the user's environment
// (Qt does at start); a locale object of our own folds alike whatever that is.
Locale OpenCUtf8() {
    Locale locale(newlocale(LC_CTYPE_MASK, "C.UTF-8", locale_t{}), &freelocale);
    if (!locale) {
        throw std::runtime_error("the C.UTF-8 locale, needed to fold letter case, is missing");
    }
    return locale;
}

}  // namespace

char32_t LowerCase(char32_t c) {
    static const Locale cUtf8 = OpenCUtf8();
    return static_cast<char32_t>(towlower_l(static_cast<wint_t>(c), cUtf8.get()));
}

}  // namespace brackwin
