#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "platform/base/kvtbase.h"

namespace {

class Today : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(KVTSetToday("12/05/2026")); }
  void TearDown() override { KVTSetToday(nullptr); }
};

TEST(Base, TrimStripsBothEndsInPlace) {
  // clang-format off
  struct Case { const char* in; const char* out; } cases[] = {
      {"  abc  ", "abc"}, {"abc", "abc"}, {"   ", ""}, {"", ""}, {"\t a b \r\n", "a b"}};
  // clang-format on
  for (const auto& c : cases) {
    char buf[32];
    std::strcpy(buf, c.in);
    EXPECT_EQ(TRIM(buf), buf);
    EXPECT_STREQ(buf, c.out) << "input '" << c.in << "'";
  }
}

TEST(Base, RoundsHalfAwayFromZeroDespiteBinaryRepresentation) {
  // clang-format off
  struct Case { double in; int dec; double out; } cases[] = {
      {1.005, 2, 1.01},     {2.675, 2, 2.68},
      {-0.125, 2, -0.13},   {1.004999, 2, 1.0},
      {0.5, 0, 1.0},        {-0.5, 0, -1.0},
      {12.3445, 3, 12.345}, {0.1 + 0.2, 2, 0.3},
      {-0.001, 2, 0.0},     {1234567.125, 2, 1234567.13},
  };
  // clang-format on
  for (const auto& c : cases)
    EXPECT_DOUBLE_EQ(KVTRound(c.in, c.dec), c.out) << c.in << " to " << c.dec;
}

// The quick path for values away from a half must agree with rounding
// through 12 significant digits on the amounts and taxes a till computes.
TEST(Base, RoundsTaxesOfEveryCentAmountAsTheDecimalRuleDoes) {
  auto decimalRule = [](double value, int dec) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.12g", value);
    double scaled = std::strtod(buf, nullptr) * std::pow(10.0, dec);
    std::snprintf(buf, sizeof buf, "%.12g", scaled);
    double r = std::round(std::strtod(buf, nullptr)) / std::pow(10.0, dec);
    return r == 0.0 ? 0.0 : r;
  };
  int differ = 0;
  for (int cents = -20000; cents <= 200000; cents += 7)
    for (double rate : {0.0, 5.5, 6.25, 7.0, 8.875, 12.5})
      for (int dec : {0, 2, 3}) {
        double v = cents / 100.0 * rate / 100.0;
        differ += KVTRound(v, dec) != decimalRule(v, dec);
      }
  EXPECT_EQ(differ, 0);
}

TEST(Base, StringRoundWritesFixedDecimalsWithoutNegativeZero) {
  EXPECT_EQ(KVTSRound(2.675, 2), "2.68");
  EXPECT_EQ(KVTSRound(-0.001, 2), "0.00");
  EXPECT_EQ(KVTSRound(2.5, 3), "2.500");
  EXPECT_EQ(KVTSRound(7, 0), "7");
}

TEST_F(Today, CurrentDateFollowsTheSetClock) {
  char buf[9];
  EXPECT_STREQ(CurrentDate(buf), "12052026");
  EXPECT_TRUE(KVTSetToday("2027-01-31"));
  EXPECT_EQ(CurrentDate(), "01312027");
  EXPECT_FALSE(KVTSetToday("02/30/2027"));
  EXPECT_EQ(CurrentDate(), "01312027") << "a bad date must not move the clock";
}

TEST_F(Today, MakeDateCompletesPartialEntries) {
  // clang-format off
  struct Case { const char* in; const char* out; } cases[] = {  // nullptr: refused, input unchanged
      {"1205", "12052026"},   {"120599", "12052099"}, {"12052025", "12052025"},
      {"1/5/26", "01052026"}, {"12/05", "12052026"},  {"02292028", "02292028"},
      {"02292027", nullptr},  {"1305", nullptr},      {"12", nullptr},
      {"12a5", nullptr},      {"", nullptr},          {"0000", nullptr},
  };
  // clang-format on
  for (const auto& c : cases) {
    char buf[16];
    std::strcpy(buf, c.in);
    bool ok = MakeDate(buf);
    if (c.out) {
      EXPECT_TRUE(ok) << c.in;
      EXPECT_STREQ(buf, c.out) << c.in;
    } else {
      EXPECT_FALSE(ok) << c.in;
      EXPECT_STREQ(buf, c.in);
    }
  }
}

TEST(Base, DatesCompareAsYearFirstNumbers) {
  EXPECT_EQ(MakeDateYYYYMMDD("12052026"), 20261205);
  EXPECT_EQ(MakeDateYYYYMMDD("01/02/2027"), 20270102);
  EXPECT_LT(MakeDateYYYYMMDD("12312026"), MakeDateYYYYMMDD("01012027"));
  EXPECT_EQ(MakeDateYYYYMMDD("1/2/2027"), 0);
  EXPECT_EQ(MakeDateYYYYMMDD(nullptr), 0);
}

}  // namespace
