#include "platform/base/textwidth.h"

#include <cstring>

std::size_t KVTCharBytes(std::string_view text) {
  if (text.empty()) return 0;
  const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
  const unsigned char lead = byte(0);
  std::size_t n = 0;
  unsigned char lo = 0x80, hi = 0xBF;  // the allowed range of the second byte
  if (lead < 0x80) return 1;
  if (lead >= 0xC2 && lead <= 0xDF) {
    n = 2;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    n = 3;
    if (lead == 0xE0) lo = 0xA0;  // no overlong form
    if (lead == 0xED) hi = 0x9F;  // no surrogate
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    n = 4;
    if (lead == 0xF0) lo = 0x90;  // no overlong form
    if (lead == 0xF4) hi = 0x8F;  // nothing above U+10FFFF
  } else {
    return 1;
  }
  if (text.size() < n || byte(1) < lo || byte(1) > hi) return 1;
  for (std::size_t i = 2; i < n; ++i)
    if ((byte(i) & 0xC0) != 0x80) return 1;
  return n;
}

char32_t KVTCodePoint(std::string_view text) {
  const std::size_t n = KVTCharBytes(text);
  if (n == 0) return 0;
  const auto lead = static_cast<unsigned char>(text[0]);
  if (n == 1) return lead;
  char32_t cp = lead & (0xFF >> (n + 1));
  for (std::size_t i = 1; i < n; ++i) cp = (cp << 6) | (static_cast<unsigned char>(text[i]) & 0x3F);
  return cp;
}

std::size_t KVTCutLength(std::string_view text, std::size_t maxBytes, std::size_t maxChars) {
  std::size_t at = 0;
  for (std::size_t chars = 0; at < text.size() && chars < maxChars; ++chars) {
    std::size_t n = KVTCharBytes(text.substr(at));
    if (n > maxBytes - at) break;
    at += n;
  }
  return at;
}

std::size_t KVTCharCount(std::string_view text) {
  std::size_t chars = 0;
  for (std::size_t at = 0; at < text.size(); ++chars) at += KVTCharBytes(text.substr(at));
  return chars;
}

std::size_t KVTCopyText(char* dest, std::size_t size, std::string_view text) {
  if (!dest || size == 0) return 0;
  std::size_t n = KVTCutLength(text.substr(0, text.find('\0')), size - 1);
  std::memcpy(dest, text.data(), n);
  dest[n] = '\0';
  return n;
}
