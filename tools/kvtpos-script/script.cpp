// Parsing till scripts and running them through the scripted user.
#include "tools/kvtpos-script/script.h"

#include <cctype>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <sstream>

#include "platform/base/kvtbase.h"
#include "platform/forms/forms.h"
#include "platform/forms/headless/render.h"
#include "platform/win/module.h"

namespace {

// Splits the rest of a line into words and quoted texts.
bool Tokens(const std::string& s, std::vector<std::string>* out, std::string* error) {
  std::size_t i = 0;
  while (i < s.size()) {
    if (std::isspace(static_cast<unsigned char>(s[i]))) {
      ++i;
      continue;
    }
    std::string tok;
    if (s[i] == '"') {
      ++i;
      bool closed = false;
      while (i < s.size()) {
        char c = s[i++];
        if (c == '"') {
          closed = true;
          break;
        }
        if (c == '\\' && i < s.size()) {
          char e = s[i++];
          c = e == 'n' ? '\n' : e == 't' ? '\t' : e == 'r' ? '\r' : e;
        }
        tok += c;
      }
      if (!closed) {
        *error = "a quote is not closed";
        return false;
      }
    } else {
      while (i < s.size() && !std::isspace(static_cast<unsigned char>(s[i]))) tok += s[i++];
    }
    out->push_back(tok);
  }
  return true;
}

// Ids, grids, rows, columns and counts: whole numbers from 0 that an int
// holds (a larger one must not wrap round to a row that exists).
bool Int(const std::string& s, int* out) {
  if (s.empty() || !std::isdigit(static_cast<unsigned char>(s[0]))) return false;
  char* end = nullptr;
  errno = 0;
  long long v = std::strtoll(s.c_str(), &end, 10);
  if (*end != '\0' || errno == ERANGE || v > INT_MAX) return false;
  *out = static_cast<int>(v);
  return true;
}

// A check reads the database and never changes it.
bool OnlyReads(const std::string& sql) {
  std::size_t b = sql.find_first_not_of(" \t\r\n(");
  if (b == std::string::npos || sql.size() - b < 7) return false;
  std::string head = sql.substr(b, 7);
  for (char& ch : head) ch = static_cast<char>(std::toupper(static_cast<unsigned char>(ch)));
  return head == "SELECT " || head == "SELECT\t";
}

// The rest of a line as one text: quoted, or as written.
bool Rest(const std::string& rest, std::string* out, std::string* error) {
  std::size_t b = rest.find_first_not_of(" \t");
  if (b == std::string::npos) {
    *error = "text is missing";
    return false;
  }
  if (rest[b] != '"') {
    *out = rest.substr(b, rest.find_last_not_of(" \t\r") - b + 1);
    return true;
  }
  std::vector<std::string> toks;
  if (!Tokens(rest, &toks, error)) return false;
  if (toks.size() != 1) {
    *error = "one quoted text expected";
    return false;
  }
  *out = toks[0];
  return true;
}

bool ParseLine(const std::string& line, ScriptCommand* c, std::string* error) {
  std::size_t sp = line.find_first_of(" \t");
  std::string verb = line.substr(0, sp);
  std::string rest = sp == std::string::npos ? "" : line.substr(sp + 1);
  std::vector<std::string> toks;
  if (verb == "type" || verb == "click") {
    c->kind = verb == "type" ? ScriptCommand::kType : ScriptCommand::kClick;
    c->text.resize(1);
    return Rest(rest, &c->text[0], error);
  }
  if (!Tokens(rest, &toks, error)) return false;
  auto want = [&](std::size_t n, const char* form) {
    if (toks.size() == n) return true;
    *error = std::string("expected: ") + form;
    return false;
  };
  auto numbers = [&](std::size_t n, const char* form) {
    for (std::size_t i = 0; i < n; ++i) {
      int v = 0;
      if (!Int(toks[i], &v)) {
        *error = std::string("expected: ") + form;
        return false;
      }
      c->numbers.push_back(v);
    }
    c->text.assign(toks.begin() + static_cast<long>(n), toks.end());
    return true;
  };
  if (verb == "today") {
    c->kind = ScriptCommand::kToday;
    c->text = toks;
    return want(1, "today MM/DD/YYYY");
  }
  if (verb == "call") {
    c->kind = ScriptCommand::kCall;
    c->text = toks;
    return want(1, "call EXPORT");
  }
  if (verb == "show") {
    c->kind = ScriptCommand::kShow;
    return want(0, "show");
  }
  if (verb == "key") {
    c->kind = ScriptCommand::kKey;
    if (!want(1, "key NAME")) return false;
    if (KVTParseKey(toks[0], &c->key)) return true;
    *error = "unknown key \"" + toks[0] + "\"";
    return false;
  }
  if (verb == "answer") {
    c->kind = ScriptCommand::kAnswer;
    if (!want(1, "answer Yes|No|OK|Cancel")) return false;
    c->button = ButtonFromName(toks[0]);
    if (c->button) return true;
    *error = "unknown answer \"" + toks[0] + "\"";
    return false;
  }
  if (verb == "row") {
    c->kind = ScriptCommand::kRow;
    return want(2, "row GRID ROW") && numbers(2, "row GRID ROW");
  }
  if (verb != "expect" || toks.empty()) {
    *error = "unknown command \"" + verb + "\"";
    return false;
  }
  std::string what = toks[0];
  toks.erase(toks.begin());
  if (what == "message") {
    c->kind = ScriptCommand::kExpectMessage;
    c->text = toks;
    if (toks.size() == 1 || toks.size() == 2) return true;
    *error = "expected: expect message \"TEXT\" [\"CAPTION\"]";
    return false;
  }
  if (what == "field") {
    c->kind = ScriptCommand::kExpectField;
    return want(2, "expect field ID \"TEXT\"") && numbers(1, "expect field ID \"TEXT\"");
  }
  if (what == "focus") {
    c->kind = ScriptCommand::kExpectFocus;
    return want(1, "expect focus ID") && numbers(1, "expect focus ID");
  }
  if (what == "cell") {
    c->kind = ScriptCommand::kExpectCell;
    const char* form = "expect cell GRID ROW COLUMN \"TEXT\"";
    return want(4, form) && numbers(3, form);
  }
  if (what == "rows") {
    c->kind = ScriptCommand::kExpectRows;
    return want(2, "expect rows GRID COUNT") && numbers(2, "expect rows GRID COUNT");
  }
  if (what == "screen") {
    c->kind = ScriptCommand::kExpectScreen;
    c->text = toks;
    return want(1, "expect screen \"CAPTION\"");
  }
  if (what == "sql") {
    c->kind = ScriptCommand::kExpectSql;
    c->text = toks;
    if (!want(2, "expect sql \"SELECT ...\" \"ROWS\"")) return false;
    if (OnlyReads(toks[0])) return true;
    *error = "expect sql runs a SELECT only";
    return false;
  }
  *error = "unknown check \"expect " + what + "\"";
  return false;
}

std::string Quote(const std::string& s) {
  return "\"" + KVTEscapeText(s) + "\"";
}

std::string Indent(const std::string& text) {
  std::string out;
  std::istringstream in(text);
  for (std::string l; std::getline(in, l);) out += "      " + l + "\n";
  return out;
}

}  // namespace

bool ParseScript(const std::string& script, std::vector<ScriptCommand>* commands,
                 std::string* error) {
  std::istringstream in(script);
  std::vector<ScriptCommand> out;
  int n = 0;
  for (std::string line; std::getline(in, line);) {
    ++n;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    std::size_t b = line.find_first_not_of(" \t");
    if (b == std::string::npos || line[b] == '#') continue;
    ScriptCommand c;
    c.line = n;
    c.source = line.substr(b);
    std::string why;
    if (!ParseLine(c.source, &c, &why)) {
      *error = "line " + std::to_string(n) + ": " + why + "\n  " + c.source;
      return false;
    }
    out.push_back(std::move(c));
  }
  *commands = std::move(out);
  return true;
}

ScriptRunner::ScriptRunner(KVTScriptedUser& user, HWND host, std::string module, std::ostream& out)
    : user_(user), host_(host), module_(std::move(module)), out_(out), query_(FormsQuery) {}

KVTScreen* ScriptRunner::Front() {
  return KVTForms::Instance().ActiveScreen();
}

void ScriptRunner::Fail(const std::string& what, bool showScreen) {
  user_.AddFailure(what);
  if (showScreen) out_ << Indent(user_.Render());
}

int ScriptRunner::Run(const std::vector<ScriptCommand>& commands) {
  user_.SetEventSink([this](const std::string& line) {
    out_ << "      " << line << "\n";
    if (line.rfind("FAILED: ", 0) != 0) return;
    std::string what = line.substr(8);
    failures_.push_back((line_ ? "line " + std::to_string(line_) : std::string("at the end")) +
                        ": " + what);
    if (what.rfind("expected the message ", 0) == 0 || what.rfind("the message \"", 0) == 0)
      ++checksFailed_;
  });
  for (const ScriptCommand& c : commands) {
    user_.Do([this, c] {
      line_ = c.line;
      out_ << (c.line < 1000 ? std::string(4 - std::to_string(c.line).size(), ' ') : "") << c.line
           << "> " << c.source << "\n";
      Perform(c);
      KVTForms::Instance().Idle();
    });
  }
  user_.Run();
  line_ = 0;
  user_.Finish();
  user_.SetEventSink({});
  out_ << "---\n" << (checks_ - checksFailed_) << " of " << checks_ << " checks held";
  if (failures_.empty()) {
    out_ << "; no failures.\n";
    return 0;
  }
  out_ << "; " << failures_.size() << (failures_.size() == 1 ? " failure:\n" : " failures:\n");
  for (const std::string& f : failures_) out_ << "  " << f << "\n";
  return 1;
}

void ScriptRunner::Call(const std::string& entry) {
  if (!loaded_) loaded_ = LoadLibrary(module_.c_str());
  if (!loaded_) {
    Fail("cannot load the module " + module_ + ": " + LastModuleError(), false);
    return;
  }
  auto fn = GetProc<void (*)(HWND)>(loaded_, entry.c_str());
  if (!fn) {
    Fail("the module " + module_ + " has no export " + entry, false);
    return;
  }
  KVTForms::Busy busy;
  fn(host_);
}

void ScriptRunner::Perform(const ScriptCommand& c) {
  std::size_t before = user_.Failures().size();
  bool check = c.kind >= ScriptCommand::kExpectMessage && c.kind <= ScriptCommand::kExpectSql;
  if (check) ++checks_;
  KVTScreen* front = Front();
  auto needScreen = [&] {
    if (front) return true;
    Fail("no screen is open", false);
    return false;
  };
  switch (c.kind) {
    case ScriptCommand::kToday:
      if (!KVTSetToday(c.text[0].c_str())) Fail("not a date: " + c.text[0], false);
      break;
    case ScriptCommand::kCall:
      Call(c.text[0]);
      break;
    case ScriptCommand::kType:
      if (needScreen()) user_.PerformType(c.text[0]);
      break;
    case ScriptCommand::kKey:
      if (needScreen()) user_.PerformKey(c.key);
      break;
    case ScriptCommand::kClick: {
      if (!needScreen()) break;
      int id = front->FindButton(c.text[0]);
      if (id == 0)
        Fail("no button " + Quote(c.text[0]) + " on " + Quote(front->Caption()), true);
      else if (!user_.PerformClick(id))
        Fail("the button " + Quote(c.text[0]) + " is disabled", true);
      break;
    }
    case ScriptCommand::kRow:
      if (needScreen() && !user_.PerformClickRow(c.numbers[0], c.numbers[1]))
        Fail("no row " + std::to_string(c.numbers[1]) + " in grid " + std::to_string(c.numbers[0]),
             true);
      break;
    case ScriptCommand::kAnswer:
      user_.AddAnswer(c.button);
      break;
    case ScriptCommand::kExpectMessage:
      // Checked now, or when the next box is shown; the event sink counts it.
      user_.AddExpectedMessage(c.text[0], c.text.size() > 1 ? c.text[1] : "");
      check = false;
      break;
    case ScriptCommand::kExpectField: {
      if (!needScreen()) break;
      if (!front->FieldState(c.numbers[0])) {
        Fail(Quote(front->Caption()) + " has no field " + std::to_string(c.numbers[0]), true);
        break;
      }
      std::string got = front->GetFieldText(c.numbers[0]);
      if (got != c.text[0])
        Fail("field " + std::to_string(c.numbers[0]) + " is " + Quote(got) + ", expected " +
                 Quote(c.text[0]),
             true);
      break;
    }
    case ScriptCommand::kExpectFocus:
      if (needScreen() && front->GetFocusField() != c.numbers[0])
        Fail("the focus is on " + std::to_string(front->GetFocusField()) + ", expected " +
                 std::to_string(c.numbers[0]),
             true);
      break;
    case ScriptCommand::kExpectCell:
    case ScriptCommand::kExpectRows: {
      if (!needScreen()) break;
      TDataTbl* grid = front->Grid(c.numbers[0]);
      if (!grid) {
        Fail(Quote(front->Caption()) + " has no grid " + std::to_string(c.numbers[0]), true);
        break;
      }
      if (c.kind == ScriptCommand::kExpectRows) {
        if (grid->GetRowCount() != c.numbers[1])
          Fail("grid " + std::to_string(c.numbers[0]) + " has " +
                   std::to_string(grid->GetRowCount()) + " rows, expected " +
                   std::to_string(c.numbers[1]),
               true);
        break;
      }
      std::string got = grid->GetCell(c.numbers[2], c.numbers[1]);
      if (got != c.text[0])
        Fail("cell " + std::to_string(c.numbers[1]) + "," + std::to_string(c.numbers[2]) +
                 " of grid " + std::to_string(c.numbers[0]) + " is " + Quote(got) + ", expected " +
                 Quote(c.text[0]),
             true);
      break;
    }
    case ScriptCommand::kExpectScreen: {
      std::string got = front ? front->Caption() : "";
      if (got != c.text[0])
        Fail(front ? "the screen in front is " + Quote(got) + ", expected " + Quote(c.text[0])
                   : "no screen is open, expected " + Quote(c.text[0]),
             false);
      break;
    }
    case ScriptCommand::kExpectSql: {
      std::vector<std::vector<std::string>> rows;
      if (!query_ || !HasFormsQuery()) {
        Fail("no database connected", false);
        break;
      }
      if (!query_(c.text[0], &rows)) {
        Fail("the statement failed: " + c.text[0], false);
        break;
      }
      std::string got;
      for (std::size_t r = 0; r < rows.size(); ++r) {
        if (r) got += "\n";
        for (std::size_t col = 0; col < rows[r].size(); ++col)
          got += (col ? "|" : "") + rows[r][col];
      }
      if (got != c.text[1])
        Fail("the rows are " + Quote(got) + ", expected " + Quote(c.text[1]), false);
      break;
    }
    case ScriptCommand::kShow:
      out_ << Indent(front || KVTForms::Instance().ActiveWindow() ? user_.Show()
                                                                  : "(no screen is open)");
      break;
  }
  if (check && user_.Failures().size() > before) ++checksFailed_;
}
