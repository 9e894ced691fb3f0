// The drawing pad field: strokes read from and written to its text, added
// by the user only where the pad takes input, drawn as text headless.
#include <gtest/gtest.h>

#include <filesystem>

#include "platform/forms/sketch.h"
#include "tests/platform/forms/forms_fixture.h"

namespace {

std::string Read(const std::string& text) {
  std::string out;
  for (const KVTSketchStroke& s : KVTSketchStrokes(text)) out += KVTSketchText(s) + "|";
  return out;
}

TEST(Sketch, StrokesAreReadBackAsWrittenAndBadPointsSkipped) {
  struct Case {
    const char* text;
    const char* read;
  } cases[] = {
      {"1,2 3,4;5,6", "1,2 3,4|5,6|"},
      {"", ""},
      {"1,2;;3,4", "1,2|3,4|"},              // an empty stroke is no stroke
      {"x,2 1;2 7,8 9,9,9", "7,8|"},         // only whole "x,y" points
      {"  10,20   30,40 ", "10,20 30,40|"},  // spaces between points are loose
      {"-1,5", "-1,5|"},
  };
  for (const Case& c : cases) EXPECT_EQ(Read(c.text), c.read) << c.text;
}

TEST(Sketch, APictureOfNoSizeIsRefusedAndLeavesNothing) {
  std::string error;
  EXPECT_FALSE(KVTWriteSketchPng("1,1 5,5", 0, 10, "nosize.png", &error));
  EXPECT_FALSE(error.empty());
  EXPECT_FALSE(KVTWriteSketchPng("1,1", 8, 8, "missing/dir/x.png", &error));
  EXPECT_FALSE(std::filesystem::exists("missing/dir/x.png"));
}

KVTFormDecl PadForm() {
  KVTFormDecl f("PadScreen", "Pad", 30, 6);
  f.Sketch(101, 2, 1, 10, 2);
  f.Button(IDCANCEL, "Cancel", 2, 4);
  return f;
}

class Pad : public FormsTest {};

TEST_F(Pad, StrokesAddUpWhereThePadTakesInputAndAreDrawnAsText) {
  PVDialog screen(host, PadForm());
  user.Do([&] {
    EXPECT_FALSE(screen.KVTSetFieldFocus(101));
    EXPECT_TRUE(KVTForms::Instance().Draw(101, "1,1 4,4"));
    EXPECT_TRUE(KVTForms::Instance().Draw(101, "6,6"));
    EXPECT_FALSE(KVTForms::Instance().Draw(101, "")) << "no points, no stroke";
    EXPECT_FALSE(KVTForms::Instance().Draw(IDCANCEL, "1,1")) << "not a pad";
    EXPECT_EQ(screen.GetFieldText(101), "1,1 4,4;6,6");
    EXPECT_NE(KVTRenderScreen(screen).find("[drawing pad: 2 strokes]"), std::string::npos);
    screen.EnableField(101, false);
    EXPECT_FALSE(KVTForms::Instance().Draw(101, "7,7"));
    EXPECT_EQ(screen.GetFieldText(101), "1,1 4,4;6,6");
  });
  user.Key("Esc");
  EXPECT_EQ(screen.Execute(), IDCANCEL);
  user.Finish();
  EXPECT_TRUE(user.Failures().empty());
}

}  // namespace
