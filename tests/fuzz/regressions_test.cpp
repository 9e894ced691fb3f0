// Inputs the fuzz targets (tests/fuzz) found wrong, one line each, with what
// is right for them.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "platform/base/kvtbase.h"
#include "platform/win/profile.h"
#include "shell/posmisc.h"

namespace {

TEST(FuzzFound, DatesThatAreNoCalendarDayAreZero) {
  // clang-format off
  struct Case { const char* text; long ymd; } cases[] = {
      {"55555555", 0}, {"02302024", 0}, {"13/01/2024", 0}, {"00000000", 0},
      {"02292024", 20240229}, {"12/31/9999", 99991231}};
  // clang-format on
  for (const auto& c : cases) EXPECT_EQ(MakeDateYYYYMMDD(c.text), c.ymd) << c.text;
}

TEST(FuzzFound, StripDateZerosTakesTextOfAnyLength) {
  const std::string blanks = "\t\t\n\n\n\n\n \t\t";
  // clang-format off
  struct Case { std::string text, stripped; } cases[] = {
      {blanks + std::string(20, 'x') + "1200", std::string(20, 'x') + "12"},
      {std::string(40, '1') + "0000 ", std::string(40, '1')},
      {" 12052000 ", "12052000"}};
  // clang-format on
  for (const auto& c : cases) {
    std::vector<char> buf(c.text.begin(), c.text.end());
    buf.push_back('\0');
    StripDateZeros(buf.data());
    EXPECT_EQ(std::string(buf.data()), c.stripped) << c.text;
  }
}

// What is written is read back as it was, and nothing else changes; what
// could not be read back is refused.
TEST(FuzzFound, SettingsWrittenAreReadBackAsWritten) {
  // clang-format off
  struct Case { const char* section; const char* key; const char* value; bool written; } cases[] = {
      {"KVTS?LOioenn  ", "A", "v1", true},   {" Sec", " Key ", "v", true},
      {"S", "K", "  padded  ", true},        {"S", "K", "\"quoted\"", true},
      {"S", "K", "\"", true},                 {"S", "[X]", "v", false},
      {"S", ";K", "v", false},               {"S", "#K", "v", false},
      {"S", " ", "v", false}};
  // clang-format on
  const char* file = "fuzz-found.ini";
  for (const auto& c : cases) {
    std::remove(file);
    ASSERT_TRUE(WritePrivateProfileString("Other", "Keep", "1", file));
    EXPECT_EQ(WritePrivateProfileString(c.section, c.key, c.value, file), c.written) << c.key;
    EXPECT_EQ(kvt::ProfileString(file, c.section, c.key, "-"), c.written ? c.value : "-")
        << c.section << "/" << c.key;
    EXPECT_EQ(kvt::ProfileString(file, "Other", "Keep", "-"), "1");
  }
}

}  // namespace
