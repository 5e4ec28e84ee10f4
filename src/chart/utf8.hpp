// Reading UTF-8 one character at a time, as names may be anything: a byte
// that does not start a valid sequence (overlong, a surrogate, beyond
// Unicode, cut short) is one invalid character of its own, so that the bytes
// after it count as what they are.
#pragma once

#include <cstddef>
#include <string_view>

namespace voziv {

struct Utf8Char {
    char32_t code;       // meaningful when valid
    std::size_t length;  // in bytes; 1 when not valid
    bool valid;
};

// The character at the start of text, which is not empty.
Utf8Char decodeUtf8(std::string_view text);

}  // namespace voziv
