#pragma once

#include <QString>
#include <string_view>

namespace brackwin {

// The core holds UTF-8 text; the widgets take QString.
inline QString FromUtf8(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

}  // namespace brackwin
