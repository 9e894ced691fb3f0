// Text widths. Text is UTF-8 everywhere. The module keeps text in fixed
// arrays of bytes, so the room of a buffer, of a grid column and of an event
// parameter counts bytes: a field of 30 holds 30 plain letters, or 15
// accented ones, or 7 emoji. A field without a buffer has a width in
// characters, counted as code points (a combining accent counts as one more).
// Whatever the limit, text is cut only between characters, so what is kept is
// as valid as what was given. A byte that does not start a well-formed
// sequence counts as a character of its own, so a cut always moves on.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "platform/base/export.h"

// The length in bytes of the character at the start of `text`: 1 to 4 for a
// well-formed sequence, 1 for a stray byte, 0 for an empty text.
KVT_EXPORT std::size_t KVTCharBytes(std::string_view text);

// The code point of the character at the start of `text` (a stray byte as
// its own value; 0 for an empty text).
KVT_EXPORT char32_t KVTCodePoint(std::string_view text);

// The length in bytes of the longest beginning of `text` that has at most
// `maxBytes` bytes and at most `maxChars` characters and ends between two
// characters.
KVT_EXPORT std::size_t KVTCutLength(std::string_view text, std::size_t maxBytes,
                                    std::size_t maxChars = SIZE_MAX);
inline std::string KVTCut(std::string_view text, std::size_t maxBytes,
                          std::size_t maxChars = SIZE_MAX) {
  return std::string(text.substr(0, KVTCutLength(text, maxBytes, maxChars)));
}

// The characters of `text` (code points, a stray byte as one).
KVT_EXPORT std::size_t KVTCharCount(std::string_view text);

// Copies text into a fixed buffer of `size` bytes, cut to fit between two
// characters and always terminated. Returns the bytes copied.
KVT_EXPORT std::size_t KVTCopyText(char* dest, std::size_t size, std::string_view text);
template <std::size_t N>
std::size_t KVTCopyText(char (&dest)[N], std::string_view text) {
  return KVTCopyText(dest, N, text);
}
// The same for a text that may be null (copied as empty).
template <std::size_t N>
std::size_t KVTCopyText(char (&dest)[N], const char* text) {
  return KVTCopyText(dest, N, std::string_view(text ? text : ""));
}
