// File tables on shapelib's dBASE reader.
#include "platform/sql/dbf/filetable.h"

#include <shapefil.h>

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <vector>

#include "platform/win/folders.h"

namespace kvt::sql {

namespace {

// shapelib reports through a hook without a context; one reader per thread.
thread_local std::string tReaderError;

void HookError(const char* message) {
  tReaderError = message ? message : "unknown error";
}

std::string Upper(std::string_view s) {
  std::string u(s);
  for (char& c : u) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return u;
}

std::string Trim(std::string_view s) {
  size_t b = s.find_first_not_of(" \t\r\n");
  if (b == std::string_view::npos) return "";
  size_t e = s.find_last_not_of(" \t\r\n");
  return std::string(s.substr(b, e - b + 1));
}

bool StartsWithWord(std::string_view text, std::string_view word) {
  return text.size() > word.size() && Upper(text.substr(0, word.size())) == word &&
         std::isspace(static_cast<unsigned char>(text[word.size()]));
}

bool ValidUtf8(std::string_view s) {
  for (size_t i = 0; i < s.size();) {
    unsigned char c = static_cast<unsigned char>(s[i]);
    int more = c < 0x80 ? 0 : (c >> 5) == 6 ? 1 : (c >> 4) == 14 ? 2 : (c >> 3) == 30 ? 3 : -1;
    if (more < 0 || (more > 0 && i + more >= s.size())) return false;
    for (int k = 1; k <= more; ++k)
      if ((static_cast<unsigned char>(s[i + k]) & 0xC0) != 0x80) return false;
    i += more + 1;
  }
  return true;
}

// Windows-1252 to UTF-8; 0x80..0x9F hold the typographic marks of that page.
std::string FromCp1252(std::string_view s) {
  static const unsigned short k80[32] = {
      0x20AC, 0x81,   0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
      0x2039, 0x0152, 0x8D,   0x017D, 0x8F,   0x90,   0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
      0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x9D,   0x017E, 0x0178};
  std::string out;
  out.reserve(s.size() + 8);
  for (char ch : s) {
    unsigned c = static_cast<unsigned char>(ch);
    unsigned u = c >= 0x80 && c < 0xA0 ? k80[c - 0x80] : c;
    if (u < 0x80) {
      out += static_cast<char>(u);
    } else if (u < 0x800) {
      out += static_cast<char>(0xC0 | (u >> 6));
      out += static_cast<char>(0x80 | (u & 0x3F));
    } else {
      out += static_cast<char>(0xE0 | (u >> 12));
      out += static_cast<char>(0x80 | ((u >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (u & 0x3F));
    }
  }
  return out;
}

// The folder and the table name of "<folder>/<NAME>".
void SplitTable(const std::string& table, std::string* folder, std::string* name) {
  std::string t = table;
  std::replace(t.begin(), t.end(), '\\', '/');
  size_t slash = t.find_last_of('/');
  *folder = slash == std::string::npos ? "" : t.substr(0, slash + 1);
  *name = slash == std::string::npos ? t : t.substr(slash + 1);
}

}  // namespace

struct FileQuery::Impl {
  DBFHandle dbf = nullptr;
  bool counting = false;
  bool countPending = false;
  long count = 0;
  int next = 0;       // the record to read next
  int records = 0;    // as the header says
  int available = 0;  // records the file really holds
  std::string table;
  std::vector<int> fields;
  std::vector<std::string> row;
  std::string error;

  ~Impl() { Close(); }
  void Close() {
    if (dbf) DBFClose(dbf);
    dbf = nullptr;
    fields.clear();
    row.clear();
    counting = countPending = false;
    next = records = available = 0;
  }
  bool Fail(std::string text) {
    error = std::move(text);
    Close();
    return false;
  }
  bool Open(const std::string& path);
  bool Drop(const std::string& path);
  // Reads record `i` into row; false with error.
  bool Read(int i, bool* deleted);
};

bool FileQuery::Impl::Open(const std::string& path) {
  std::string folder, name;
  SplitTable(path, &folder, &name);
  std::vector<KVTFileInfo> files;
  std::string why;
  if (name.empty() || !ListFiles(folder, name + ".DBF", &files, &why))
    return Fail("The table " + path + " cannot be read: " + (why.empty() ? "no name" : why));
  if (files.empty()) return Fail("The table " + path + " is not there (no " + name + ".DBF).");
  SAHooks hooks;
  SASetupDefaultHooks(&hooks);
  hooks.Error = HookError;
  tReaderError.clear();
  dbf = DBFOpenLL(files[0].path.c_str(), "rb", &hooks);
  if (!dbf)
    return Fail("The table " + path + " is not a dBASE table" +
                (tReaderError.empty() ? "." : ": " + tReaderError));
  table = path;
  records = DBFGetRecordCount(dbf);
  std::error_code ec;
  auto size = static_cast<long long>(std::filesystem::file_size(files[0].path, ec));
  long long body = ec ? 0 : size - dbf->nHeaderLength;
  available = dbf->nRecordLength > 0 && body > 0
                  ? static_cast<int>(std::min<long long>(records, body / dbf->nRecordLength))
                  : 0;
  return true;
}

bool FileQuery::Impl::Read(int i, bool* deleted) {
  if (i >= available)
    return Fail("The table " + table + " is cut short: it holds " + std::to_string(available) +
                " of its " + std::to_string(records) + " records.");
  tReaderError.clear();
  *deleted = DBFIsRecordDeleted(dbf, i);
  if (!tReaderError.empty()) return Fail("The table " + table + " cannot be read: " + tReaderError);
  if (*deleted) return true;
  for (size_t k = 0; k < fields.size(); ++k) {
    const char* v = DBFReadStringAttribute(dbf, i, fields[k]);
    if (!v) return Fail("The table " + table + " cannot be read: " + tReaderError);
    std::string text = Trim(v);
    row[k] = ValidUtf8(text) ? std::move(text) : FromCp1252(text);
  }
  return true;
}

bool FileQuery::Impl::Drop(const std::string& path) {
  std::string folder, name;
  SplitTable(path, &folder, &name);
  std::vector<KVTFileInfo> files;
  std::string why;
  if (name.empty() || !ListFiles(folder, name + ".*", &files, &why))
    return Fail("The table " + path + " cannot be dropped: " + (why.empty() ? "no name" : why));
  bool any = false;
  for (const KVTFileInfo& f : files) {
    std::string ext = Upper(f.name.substr(name.size()));
    if (ext != ".DBF" && ext != ".DBT" && ext != ".CPG") continue;
    if (!DeleteFile(f.path, &why)) return Fail(why);
    any = true;
  }
  return any || Fail("The table " + path + " is not there.");
}

FileQuery::FileQuery() : impl_(std::make_unique<Impl>()) {}
FileQuery::~FileQuery() = default;

bool FileQuery::Run(std::string_view sql) {
  Impl& m = *impl_;
  m.Close();
  m.error.clear();
  std::string text = Trim(sql);
  if (StartsWithWord(text, "DROP")) {
    std::string rest = Trim(std::string_view(text).substr(4));
    if (!StartsWithWord(rest, "TABLE")) return m.Fail("Not a file-table statement: " + text);
    return m.Drop(Trim(std::string_view(rest).substr(5)));
  }
  std::string upper = Upper(text);
  size_t from = upper.find(" FROM ");
  if (!StartsWithWord(text, "SELECT") || from == std::string::npos)
    return m.Fail("Not a file-table statement: " + text);
  std::string list = Upper(Trim(std::string_view(text).substr(6, from - 6)));
  if (!m.Open(Trim(std::string_view(text).substr(from + 6)))) return false;
  list.erase(std::remove(list.begin(), list.end(), ' '), list.end());
  if (list == "COUNT(1)" || list == "COUNT(*)") {
    m.counting = m.countPending = true;
    m.row.assign(1, "");
    for (int i = 0; i < m.records; ++i) {
      bool deleted = false;
      if (!m.Read(i, &deleted)) return false;
      if (!deleted) ++m.count;
    }
    m.row[0] = std::to_string(m.count);
    return true;
  }
  size_t start = 0;
  while (start <= list.size()) {
    size_t comma = list.find(',', start);
    std::string column = list.substr(start, comma == std::string::npos ? comma : comma - start);
    int index = column.empty() ? -1 : DBFGetFieldIndex(m.dbf, column.c_str());
    if (index < 0)
      return m.Fail("The table " + m.table + " has no column " +
                    (column.empty() ? "(empty)" : column) + ".");
    m.fields.push_back(index);
    if (comma == std::string::npos) break;
    start = comma + 1;
  }
  m.row.assign(m.fields.size(), "");
  return true;
}

Found FileQuery::Fetch() {
  Impl& m = *impl_;
  if (!m.dbf) return m.error.empty() ? Found::No : Found::Failed;
  if (m.counting) {
    if (!m.countPending) return Found::No;
    m.countPending = false;
    return Found::Yes;
  }
  while (m.next < m.records) {
    bool deleted = false;
    if (!m.Read(m.next++, &deleted)) return Found::Failed;
    if (!deleted) return Found::Yes;
  }
  return Found::No;
}

const std::string& FileQuery::operator[](std::size_t i) const {
  static const std::string kEmpty;
  return i < impl_->row.size() ? impl_->row[i] : kEmpty;
}

std::size_t FileQuery::ColumnCount() const {
  return impl_->row.size();
}

const std::string& FileQuery::error() const {
  return impl_->error;
}

}  // namespace kvt::sql
