// The gauge field: its bar and percentage as text for every value of its
// range, kept inside the range, drawn on the screen and never focused.
#include <gtest/gtest.h>

#include "tests/platform/forms/forms_fixture.h"

namespace {

KVTFormDecl GaugeForm() {
  KVTFormDecl f("GaugeScreen", "Gauge", 30, 4);
  f.Gauge(101, 2, 1, 10);
  f.Button(IDCANCEL, "Cancel", 2, 3);
  return f;
}

class Gauge : public FormsTest {};

TEST_F(Gauge, TheBarFillsInProportionAndStaysInItsRange) {
  // clang-format off
  struct Case { int low, high, value; const char* text; } cases[] = {
      {0, 10, 0,  "[..........] 0%"},
      {0, 10, 5,  "[#####.....] 50%"},
      {0, 10, 10, "[##########] 100%"},
      {0, 10, 15, "[##########] 100%"},   // past the end: full
      {0, 10, -3, "[..........] 0%"},     // before the start: empty
      {0, 3,  1,  "[###.......] 33%"},    // whole characters and percent, rounded down
      {5, 9,  7,  "[#####.....] 50%"},    // a range that does not start at 0
      {0, 0,  0,  "[##########] 100%"},   // a range of one step is done at once
      {4, 2,  4,  "[##########] 100%"},   // an upside-down range is one step
  };
  // clang-format on
  for (const Case& c : cases) {
    PVDialog screen(host, GaugeForm());
    screen.SetGaugeRange(101, c.low, c.high);
    screen.SetGaugeValue(101, c.value);
    EXPECT_EQ(screen.GetFieldText(101), c.text) << c.low << ".." << c.high << " at " << c.value;
    EXPECT_GE(screen.GetGaugeValue(101), screen.FieldState(101)->gaugeLow);
    EXPECT_LE(screen.GetGaugeValue(101), screen.FieldState(101)->gaugeHigh);
  }
}

TEST_F(Gauge, IsDrawnAndNeverTakesTheFocus) {
  PVDialog screen(host, GaugeForm());
  user.Do([&] {
    EXPECT_EQ(screen.GetFocusField(), IDCANCEL);
    EXPECT_FALSE(screen.KVTSetFieldFocus(101));
    screen.SetGaugeRange(101, 0, 4);
    screen.SetGaugeValue(101, 1);
    EXPECT_NE(KVTRenderScreen(screen).find("[##........] 25%"), std::string::npos)
        << KVTRenderScreen(screen);
  });
  user.Key("Esc");
  EXPECT_EQ(screen.Execute(), IDCANCEL);
  user.Finish();
  EXPECT_TRUE(user.Failures().empty());
}

}  // namespace
