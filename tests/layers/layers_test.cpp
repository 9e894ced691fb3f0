// The layers of DESIGN section 2, held by reading every #include of the
// repository's .h and .cpp files: a dependency outside the allowed matrix and
// a raw statement call in a module folder each fail, one line per violation
// naming the file and the line.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <map>
#include <regex>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

namespace {

namespace fs = std::filesystem;

bool StartsWith(const std::string& s, const std::string& prefix) {
  return s.compare(0, prefix.size(), prefix) == 0;
}

std::string Top(const std::string& path) {
  return path.substr(0, path.find('/'));
}

// The module folders from the bottom up: shell/ (without windll), pricing/,
// sale/, then backoffice/, setup/ and payment/ side by side, the exports of
// shell/windll on top. -1 outside the module.
int ModuleRank(const std::string& path) {
  static const std::map<std::string, int> rank = {
      {"shell", 0}, {"pricing", 1}, {"sale", 2}, {"backoffice", 3}, {"setup", 3}, {"payment", 3}};
  if (StartsWith(path, "shell/windll.")) return 4;
  auto it = rank.find(Top(path));
  return it == rank.end() ? -1 : it->second;
}

bool IsQt(const std::string& header) {
  return header.size() > 1 && header[0] == 'Q' &&
         (std::isupper(static_cast<unsigned char>(header[1])) || header[1] == 't');
}

bool IsDatabaseClient(const std::string& header) {
  std::string name = header.substr(header.rfind('/') + 1);
  return name == "sqlite3.h" || name == "libpq-fe.h";
}

// Why `from` may not include the repository file `to`; "" when it may.
std::string FileViolation(const std::string& from, const std::string& to) {
  const std::string f = Top(from), t = Top(to);
  const int rf = ModuleRank(from), rt = ModuleRank(to);
  if (rf >= 0) {
    if (t == "tests") return "a module folder never includes tests/";
    if (to == "shell/windll.h" && rf != 4) return "only shell/windll.* includes shell/windll.h";
    if (rt >= 0) {
      if (f == t || rf == 4 || rt < rf || (rf == 3 && rt == 3)) return "";
      return f + "/ never includes " + t +
             "/ (windll -> backoffice, setup, payment -> sale -> pricing -> shell -> platform)";
    }
    if (t != "platform") return "a module folder includes only module folders and platform/";
    return "";
  }
  if (f == "platform" && t != "platform") return "platform/ never includes " + t + "/";
  if (f == "suite" && t != "suite" && t != "platform")
    return "suite/ stand-ins include only shared interface headers (platform/, suite/), not " + t +
           "/";
  if (f == "bench" && t == "tests") return "bench/ never includes tests/";
  return "";
}

// Why `from` may not include a header from outside the repository.
std::string SystemViolation(const std::string& from, const std::string& header) {
  auto under = [&](std::initializer_list<const char*> places) {
    return std::any_of(places.begin(), places.end(),
                       [&](const char* p) { return StartsWith(from, p); });
  };
  if (IsQt(header) &&
      !under({"platform/forms/qt/", "suite/host/qt/", "suite/kvtposr/pdf/", "tests/", "bench/"}))
    return "only platform/forms/qt, the host's window (suite/host/qt) and the report module's PDF "
           "pages (suite/kvtposr/pdf) include Qt";
  if (IsDatabaseClient(header) && !under({"platform/sql/", "tests/", "bench/"}))
    return "only platform/sql includes sqlite3.h and libpq-fe.h";
  return "";
}

// The text with comments, strings and character literals blanked out, lines kept.
std::string CodeOnly(const std::string& text) {
  std::string out = text;
  enum { Code, Line, Block, Quote } state = Code;
  char quote = 0;
  for (std::size_t i = 0; i < out.size(); ++i) {
    char c = out[i], next = i + 1 < out.size() ? out[i + 1] : '\0';
    switch (state) {
      case Code:
        if (c == '/' && next == '/') state = Line;
        if (c == '/' && next == '*') state = Block;
        if (c == '"' || c == '\'') {
          state = Quote;
          quote = c;
          continue;
        }
        if (state == Code) continue;
        break;
      case Line:
        if (c == '\n') {
          state = Code;
          continue;
        }
        break;
      case Block:
        if (c == '*' && next == '/') {
          out[i] = out[i + 1] = ' ';
          ++i;
          state = Code;
          continue;
        }
        break;
      case Quote:
        if (c == '\\') {
          out[i] = ' ';
          if (next != '\n' && next != '\0') out[++i] = ' ';
          continue;
        }
        if (c == quote || c == '\n') {
          state = Code;
          continue;
        }
        break;
    }
    if (c != '\n') out[i] = ' ';
  }
  return out;
}

// Raw statement calls a module file makes instead of kvt::sql::Query, Run and
// Transaction (platform/sql/query.h): one entry per line and call.
std::vector<std::pair<int, std::string>> RawStatementCalls(const std::string& text) {
  static const std::regex raw(
      R"(\b(PrepareSQL|BindParam|vwConnect\w*|KVTSConnection|BeginTran|CommitTran|CancelTran)\b|\b(ExecSQL)\s*\()");
  std::vector<std::pair<int, std::string>> found;
  std::istringstream in(CodeOnly(text));
  std::string line;
  for (int number = 1; std::getline(in, line); ++number)
    for (std::sregex_iterator m(line.begin(), line.end(), raw), end; m != end; ++m)
      found.push_back({number, (*m)[1].matched ? (*m)[1].str() : (*m)[2].str() + "("});
  return found;
}

struct Finding {
  std::string file;
  int line = 0;
  std::string why;
};

struct Scan {
  std::vector<Finding> violations;
  int files = 0;
};

bool IsSource(const fs::path& p) {
  std::string ext = p.extension().string();
  return ext == ".h" || ext == ".cpp" || ext == ".hpp" || ext == ".cc" || ext == ".c";
}

// Build folders (anything holding a CMakeCache.txt) and hidden folders are not the repository's.
bool Skipped(const fs::path& dir) {
  std::string name = dir.filename().string();
  return (!name.empty() && name[0] == '.') || fs::exists(dir / "CMakeCache.txt");
}

Scan ScanRepository(const fs::path& root) {
  static const std::regex include(R"(^\s*#\s*include\s*([<"])([^>"]+)[>"])");
  Scan scan;
  for (auto it = fs::recursive_directory_iterator(root); it != fs::recursive_directory_iterator();
       ++it) {
    if (it->is_directory() && Skipped(it->path())) {
      it.disable_recursion_pending();
      continue;
    }
    if (!it->is_regular_file() || !IsSource(it->path())) continue;
    std::string from = fs::relative(it->path(), root).generic_string();
    if (from.find('/') == std::string::npos) continue;
    ++scan.files;
    std::ifstream in(it->path());
    const std::string text{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};

    std::istringstream lines(text);
    std::string line;
    for (int number = 1; std::getline(lines, line); ++number) {
      std::smatch m;
      if (!std::regex_search(line, m, include)) continue;
      std::string name = m[2].str(), why;
      fs::path local = (it->path().parent_path() / name).lexically_normal();
      fs::path fromRoot = (root / name).lexically_normal();
      if (m[1] == "\"" && (fs::exists(local) || fs::exists(fromRoot))) {
        std::string to = fs::relative(fs::exists(local) ? local : fromRoot, root).generic_string();
        if (StartsWith(to, "..")) continue;
        why = FileViolation(from, to);
      } else {
        why = SystemViolation(from, name);
      }
      if (!why.empty()) scan.violations.push_back({from, number, "includes " + name + ": " + why});
    }
    if (ModuleRank(from) >= 0)
      for (const auto& [number, call] : RawStatementCalls(text))
        scan.violations.push_back(
            {from, number,
             "raw statement call " + call +
                 " in a module folder (use kvt::sql::Query, Run, Transaction)"});
  }
  std::sort(scan.violations.begin(), scan.violations.end(), [](const Finding& a, const Finding& b) {
    return std::tie(a.file, a.line, a.why) < std::tie(b.file, b.line, b.why);
  });
  return scan;
}

TEST(Layers, TheRulesAreTheDesignedOnes) {
  // clang-format off
  struct Case { const char* from; const char* to; bool allowed; } cases[] = {
      {"shell/windll.cpp",      "backoffice/login.h",  true},
      {"shell/windll.cpp",      "shell/windll.h",      true},
      {"shell/posmisc.cpp",     "shell/windll.h",      false},
      {"sale/pos1.cpp",         "shell/windll.h",      false},
      {"backoffice/login.cpp",  "sale/pos1.h",         true},
      {"backoffice/login.cpp",  "payment/pos2c.h",     true},
      {"setup/configm.cpp",     "backoffice/login.h",  true},
      {"payment/devices/x.cpp", "pricing/pricing.h",   true},
      {"sale/pos1a.cpp",        "pricing/pricing.h",   true},
      {"sale/pos1a.cpp",        "backoffice/login.h",  false},
      {"pricing/pos1c.cpp",     "sale/pos1.h",         false},
      {"pricing/pos1c.cpp",     "shell/globals.h",     true},
      {"shell/globals.cpp",     "pricing/pricing.h",   false},
      {"shell/globals.cpp",     "platform/sql/query.h", true},
      {"sale/pos1.cpp",         "tests/support/x.h",   false},
      {"sale/pos1.cpp",         "suite/kvtinv/stock.h", false},
      {"platform/sql/query.cpp", "shell/globals.h",    false},
      {"platform/forms/x.cpp",  "schema/schema.h",     false},
      {"platform/win/x.cpp",    "tests/support/x.h",   false},
      {"suite/kvtjd/kvtjd.h",   "shell/kvtintob.h",    false},
      {"suite/kvtjd/kvtjd.h",   "platform/win/moduleevent.h", true},
      {"bench/save_bench.cpp",  "tests/support/testdb.h", false},
      {"bench/save_bench.cpp",  "tools/tempdb/tempdb.h", true},
      {"bench/save_bench.cpp",  "sale/pos1.h",         true},
      {"tests/sale/x_test.cpp", "sale/pos1.h",         true},
  };
  struct Header { const char* from; const char* header; bool allowed; } headers[] = {
      {"sale/pos1.cpp",                 "QWidget",         false},
      {"shell/globals.cpp",             "QtCore/QString",  false},
      {"pricing/pricing.cpp",           "sqlite3.h",       false},
      {"backoffice/login.cpp",          "libpq-fe.h",      false},
      {"platform/forms/qt/x.cpp",       "QWidget",         true},
      {"platform/forms/headless/x.cpp", "QWidget",         false},
      {"suite/host/qt/main.cpp",        "QApplication",    true},
      {"suite/kvtinv/kvtinv.cpp",       "QString",         false},
      {"suite/kvtposr/pdf/pdf.cpp",     "QPdfWriter",      true},
      {"suite/kvtposr/kvtposr.cpp",     "QPdfWriter",      false},
      {"platform/sql/sqlite/x.cpp",     "sqlite3.h",       true},
      {"platform/win/x.cpp",            "sqlite3.h",       false},
      {"sale/pos1.cpp",                 "string",          true},
  };
  // clang-format on
  for (const Case& c : cases)
    EXPECT_EQ(FileViolation(c.from, c.to).empty(), c.allowed) << c.from << " -> " << c.to;
  for (const Header& h : headers)
    EXPECT_EQ(SystemViolation(h.from, h.header).empty(), h.allowed) << h.from << " -> " << h.header;
}

TEST(Layers, RawStatementCallsAreFoundInCodeNotInComments) {
  std::string text =
      "// BeginTran is gone\n"
      "s.PrepareSQL(sql);  /* BindParam */\n"
      "const char* t = \"CommitTran\";\n"
      "c.ExecSQL (text); KVTSConnection s;\n"
      "c.ExecSQLChange(text); vwConnectEx(1);\n";
  // clang-format off
  std::vector<std::pair<int, std::string>> want = {
      {2, "PrepareSQL"}, {4, "ExecSQL("}, {4, "KVTSConnection"}, {5, "vwConnectEx"}};
  // clang-format on
  EXPECT_EQ(RawStatementCalls(text), want);
}

TEST(Layers, TheRepositoryKeepsThem) {
  Scan scan = ScanRepository(KVT_SOURCE_DIR);
  ASSERT_GT(scan.files, 100) << "nothing read under " << KVT_SOURCE_DIR;
  for (const Finding& v : scan.violations)
    std::cout << v.file << ":" << v.line << ": " << v.why << "\n";
  EXPECT_EQ(scan.violations.size(), 0u) << "dependencies outside the layers, listed above";
}

}  // namespace
