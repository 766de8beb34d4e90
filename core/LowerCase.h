#pragma once

namespace brackwin {

// The platform's simple lower-case mapping of one Unicode scalar value (one character to one
// character; a character without a small letter maps to itself), the same whatever locale or
// language the user runs in. Windows folds with CharLowerBuffW, Linux with the C library's
// C.UTF-8 locale. Throws std::runtime_error when the platform offers no such mapping (on Linux,
// when the C.UTF-8 locale is not installed).
char32_t LowerCase(char32_t c);

}  // namespace brackwin
