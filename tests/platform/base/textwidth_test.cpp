#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "platform/base/kvtbase.h"
#include "platform/base/textwidth.h"

namespace {

// "é" is 2 bytes, "€" 3, "🐄" 4; "e\xCC\x81" is e and a combining accent.
TEST(TextWidth, CutsBetweenCharactersWithinBytesAndCharacters) {
  // clang-format off
  struct Case { const char* text; std::size_t bytes, chars; const char* kept; } cases[] = {
      {"abcdef", 4, SIZE_MAX, "abcd"},      {"abc\xC3\xA9", 4, SIZE_MAX, "abc"},
      {"abc\xC3\xA9", 5, SIZE_MAX, "abc\xC3\xA9"}, {"ab\xE2\x82\xAC", 4, SIZE_MAX, "ab"},
      {"a\xF0\x9F\x90\x84", 4, SIZE_MAX, "a"},  {"a\xF0\x9F\x90\x84", 5, SIZE_MAX, "a\xF0\x9F\x90\x84"},
      {"\xC3\xA9\xC3\xA9\xC3\xA9", 99, 2, "\xC3\xA9\xC3\xA9"}, {"e\xCC\x81x", 99, 2, "e\xCC\x81"},
      {"\xF0\x9F\x90\x84", 3, SIZE_MAX, ""}, {"", 0, 0, ""},  {"abc", 0, SIZE_MAX, ""},
      // Stray bytes count one each: a Latin-1 "é", a lone continuation, an
      // overlong "/", a surrogate, a sequence cut short.
      {"ab\xE9z", 3, SIZE_MAX, "ab\xE9"},  {"\x80\x80x", 2, SIZE_MAX, "\x80\x80"},
      {"\xC0\xAFx", 1, SIZE_MAX, "\xC0"},   {"\xED\xA0\x80", 2, SIZE_MAX, "\xED\xA0"},
      {"a\xF0\x9F", 2, SIZE_MAX, "a\xF0"},  {"\xF4\x90\x80\x80", 99, 1, "\xF4"},
  };
  // clang-format on
  for (const auto& c : cases)
    EXPECT_EQ(KVTCut(c.text, c.bytes, c.chars), c.kept)
        << "'" << c.text << "' in " << c.bytes << " bytes, " << c.chars << " characters";
}

TEST(TextWidth, CountsCodePoints) {
  // clang-format off
  struct Case { const char* text; std::size_t chars; } cases[] = {
      {"", 0}, {"abc", 3}, {"caf\xC3\xA9", 4}, {"\xF0\x9F\x90\x84\xE2\x82\xAC", 2},
      {"e\xCC\x81", 2}, {"\xE9\xE9", 2}, {"\xF0\x9F\x90", 3}};
  // clang-format on
  for (const auto& c : cases) EXPECT_EQ(KVTCharCount(c.text), c.chars) << c.text;
}

TEST(TextWidth, FixedBuffersAndFormattedTextKeepWholeCharacters) {
  char five[5];
  EXPECT_EQ(KVTCopyText(five, std::string("ab\xF0\x9F\x90\x84")), 2u);
  EXPECT_STREQ(five, "ab");
  EXPECT_EQ(KVTCopyText(five, static_cast<const char*>(nullptr)), 0u);
  EXPECT_STREQ(five, "");
  EXPECT_EQ(KVTCopyText(five, std::string("a\0bcd", 5)), 1u);
  char six[6];
  EXPECT_EQ(KVTsprintf(six, "%s-%d", "abcd", 42), 7);  // cut to the buffer, terminated
  EXPECT_STREQ(six, "abcd-");
  EXPECT_EQ(KVTsprintf(six, "%s-%d", "caf\xC3\xA9", 7), 7);
  EXPECT_STREQ(six, "caf\xC3\xA9");
  EXPECT_EQ(KVTsprintf(six, "%s", "abc\xC3\xA9\xC3\xA9"), 7);
  EXPECT_STREQ(six, "abc\xC3\xA9");
  EXPECT_EQ(KVTsprintf(six, "%s", "ab\xE2\x82\xAC\xE2\x82\xAC"), 8);
  EXPECT_STREQ(six, "ab\xE2\x82\xAC");
}

}  // namespace
