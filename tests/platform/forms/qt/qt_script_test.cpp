// One till script, two front ends: the same keys, clicks and answers give
// the same fields, messages, rows and transcript on the headless backend and
// through the Qt widgets, for an MDI screen, a modal dialog, a search
// window and message boxes of the test module.
#include <QFileInfo>
#include <sstream>

#include "platform/forms/headless/headless.h"
#include "tests/platform/forms/qt/qt_fixture.h"
#include "tools/kvtpos-script/script.h"

namespace {

// The script's lines, written several to a source line with " | " between.
std::string Script() {
  std::string text = R"(# a till session on the test screen
today 12/05/2025 | call OpenTestScreen | expect screen "Test Screen" | expect focus 101
type S9 | key Tab | expect message "Invalid Store." "Error" | expect focus 101 | type S1
key Enter | expect focus 102 | key Shift+Tab | expect focus 101 | key Tab | type 2
key Enter | type 3.50 | key Enter | expect rows 106 1 | expect cell 106 0 3 "7.00"
expect field 140 "$7.00" | key Enter | type abc | key Enter
expect message "Not a valid price." "Error" | type 1.25 | key Enter | expect rows 106 2
expect cell 106 1 1 "1" | expect field 140 "$8.25" | click Taxable | expect field 104 "T"
key F5 | expect field 150 "F5 began; F5 ended; posted command ran" | key F6
expect screen "Note" | key Enter | key Enter | expect message "Note is required."
type Gate 7 | key Enter | key Enter | expect screen "Test Screen"
expect field 151 "Note: Gate 7" | key F7 | expect screen "Stores" | type s2 | key Enter
expect field 101 "S2" | answer No | key F3 | expect message "Clear all lines?" "Test Screen"
expect rows 106 2 | row 106 1 | key Down | show | answer Yes | key F3
expect message "Clear all lines?" | expect rows 106 0 | expect field 140 "$0.00"
click Note | key Esc | expect screen "Test Screen" | show)";
  for (std::size_t at; (at = text.find(" | ")) != std::string::npos;) text.replace(at, 3, "\n");
  return text + "\n";
}

struct ScriptRun {
  int rc = -1;
  std::string transcript;
};

ScriptRun RunScript(KVTScriptedUser& user) {
  SetFormsQuery([](const std::string&, std::vector<std::vector<std::string>>* rows) {
    *rows = {{"S1", "Ames", "1"}, {"S2", "Boone", "2"}};
    return true;
  });
  std::vector<ScriptCommand> commands;
  std::string error;
  EXPECT_TRUE(ParseScript(Script(), &commands, &error)) << error;
  HWND host = KVTCreateMDIHost("kvtpos-script");
  std::ostringstream out;
  ScriptRun run;
  {
    ScriptRunner runner(user, host, "KVTFORMTEST.DLL", out);
    run.rc = runner.Run(commands);
  }
  KVTForms::Instance().CloseAll();
  DestroyWindow(host);
  SetFormsQuery({});
  run.transcript = out.str();
  return run;
}

TEST(BothFrontEnds, TheSameScriptGivesTheSameFieldsMessagesAndRows) {
  ScriptRun headless;
  {
    KVTHeadlessBackend user;
    user.Install();
    headless = RunScript(user);
  }
  ScriptRun widgets;
  std::vector<std::string> pictures;
  {
    KVTQtBackend qt;
    KVTQtScriptedUser user(qt);
    user.Install();
    user.SetPictureFolder(QDir::currentPath().toStdString() + "/pictures/script");
    widgets = RunScript(user);
    pictures = user.Pictures();
  }
  EXPECT_EQ(headless.rc, 0) << headless.transcript;
  EXPECT_EQ(widgets.rc, 0) << widgets.transcript;
  EXPECT_NE(headless.transcript.find("checks held; no failures."), std::string::npos)
      << headless.transcript;
  EXPECT_EQ(widgets.transcript, headless.transcript);

  // A picture of each window and box shown: the test screen, the three
  // error boxes, the note dialog, the search window, the two questions.
  std::vector<std::string> names;
  for (const std::string& p : pictures) {
    EXPECT_TRUE(QFileInfo(QString::fromStdString(p)).size() > 1000) << p;
    names.push_back(QFileInfo(QString::fromStdString(p)).fileName().toStdString());
  }
  EXPECT_EQ(names, (std::vector<std::string>{
                       "01-Test-Screen.png", "02-Error.png", "03-Error.png", "04-Note.png",
                       "05-Error.png", "06-Stores.png", "07-Test-Screen.png", "08-Test-Screen.png",
                       "09-Test-Screen.png", "10-Note.png", "11-Test-Screen.png"}));
}

}  // namespace

KVT_QT_TEST_MAIN()
