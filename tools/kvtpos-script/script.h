// Till scripts: plain lines of keys, typed text, clicks, answers and checks,
// run by the scripted user of the headless front end against the module's
// screens, with a transcript of everything that happened.
//
//   # a comment                     (blank lines too)
//   today 12/05/2025                the till's date
//   call OpenTestScreen             an export of the module, given the host window
//   type S1                         text into the focused field ("..." keeps blanks)
//   key Enter                       Enter Esc Tab Up Down Left Right Del Ins Space
//                                   Backspace Home End PgUp PgDn F1-F12, with
//                                   Shift+ Ctrl+ Alt+
//   click OK                        a button, check box or radio button by caption
//   row 106 2                       a click on row 2 (from 0) of grid 106
//   answer Yes                      the answer to the next question (Yes No OK Cancel
//                                   Abort Retry Ignore)
//   expect message "TEXT" ["CAPTION"]   the next message box shown
//   expect field 101 "S1"           a field's text on the screen in front
//   expect focus 102                the field with the focus
//   expect cell 106 0 1 "2"         grid 106, row 0, column 1
//   expect rows 106 1               the rows of grid 106
//   expect screen "Test Screen"     the caption of the screen in front
//   expect sql "SELECT ..." "a|b"   the rows of a statement: columns joined by
//                                   "|", rows by newlines ("\n" in the text)
//   show                            draws the screen in front
//
// In quoted text \n, \t, \" and \\ stand for a newline, a tab, a quote and a
// backslash.
#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "platform/forms/headless/scripted.h"
#include "platform/forms/keys.h"
#include "platform/forms/query.h"

class KVTScreen;

struct ScriptCommand {
  enum Kind {
    kToday,
    kCall,
    kType,
    kKey,
    kClick,
    kRow,
    kAnswer,
    kExpectMessage,
    kExpectField,
    kExpectFocus,
    kExpectCell,
    kExpectRows,
    kExpectScreen,
    kExpectSql,
    kShow,
  };
  int line = 0;
  std::string source;  // the line as written
  Kind kind = kShow;
  std::vector<std::string> text;  // the words and quoted texts after the command
  std::vector<int> numbers;       // ids, rows and columns
  KVTKey key;
  int button = 0;
};

// Parses a whole script. False with "line N: what is wrong" in `error` at
// the first bad line; nothing runs then.
bool ParseScript(const std::string& script, std::vector<ScriptCommand>* commands,
                 std::string* error);

class ScriptRunner {
 public:
  // `user` must be the installed front end (headless, or one that draws); `host` is the window the
  // module's exports get; `module` the module's file name ("KVTPOS.DLL").
  ScriptRunner(KVTScriptedUser& user, HWND host, std::string module, std::ostream& out);
  // How "expect sql" reads the database; by default the forms runtime's
  // installed query function.
  void SetQuery(KVTQueryFn query) { query_ = std::move(query); }
  // Runs the script and writes the transcript. 0 when every check held and
  // nothing failed, else 1.
  int Run(const std::vector<ScriptCommand>& commands);

 private:
  void Perform(const ScriptCommand& c);
  void Call(const std::string& entry);
  void Fail(const std::string& what, bool showScreen);
  KVTScreen* Front();

  KVTScriptedUser& user_;
  HWND host_;
  std::string module_;
  std::ostream& out_;
  KVTQueryFn query_;
  void* loaded_ = nullptr;
  int line_ = 0;
  int checks_ = 0;
  int checksFailed_ = 0;
  std::vector<std::string> failures_;
};
