// Ordered fetch: each step asks for the one row after (or before) the current
// row in key order, comparing against the current row as stored, so no value
// has to be carried back into the statement in its text form.
#include "platform/sql/orderedfetch.h"

#include <algorithm>
#include <cctype>
#include <sstream>

#include "platform/sql/connection.h"
#include "platform/sql/kvtsql.h"

using kvt::sql::ConnectionOne;
using kvt::sql::Stmt;

namespace {

struct Key {
  std::string column;
  bool descending = false;
};

std::string Trim(const std::string& s) {
  std::size_t b = s.find_first_not_of(" \t\r\n");
  if (b == std::string::npos) return "";
  std::size_t e = s.find_last_not_of(" \t\r\n");
  return s.substr(b, e - b + 1);
}

std::string Upper(std::string s) {
  for (char& c : s) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return s;
}

bool ParseKeys(const std::string& text, std::vector<Key>* keys, std::string* error) {
  keys->clear();
  std::stringstream in(text);
  std::string part;
  while (std::getline(in, part, ',')) {
    std::stringstream words(Trim(part));
    Key k;
    std::string dir;
    words >> k.column >> dir;
    std::string extra;
    words >> extra;
    if (!kvt::sql::IsSqlName(k.column) || !extra.empty() ||
        !(dir.empty() || Upper(dir) == "ASC" || Upper(dir) == "DESC")) {
      *error = "\"" + Trim(part) + "\" is not a key column";
      return false;
    }
    k.descending = Upper(dir) == "DESC";
    keys->push_back(k);
  }
  if (keys->empty()) {
    *error = "no key column given";
    return false;
  }
  bool hasRecno = false;
  for (const Key& k : *keys) hasRecno = hasRecno || Upper(k.column) == "RECNO";
  if (!hasRecno) keys->push_back({"RECNO", false});
  return true;
}

}  // namespace

struct OrderedFetch::Impl {
  std::string table;
  std::string script;  // with the column list and the table filled in
  std::string columns;
  std::vector<Key> keys;
  int keyWidth = 50;
  Stmt stmt;
  bool hasRecord = false;
  double recno = 0;
  std::string error;

  bool Fail(const std::string& e) {
    error = e;
    ConnectionOne::Get().SetLastError(e);
    return false;
  }

  // The value of `column` in the current row, read from the table itself.
  std::string Current(const std::string& column) const {
    return "(SELECT " + column + " FROM " + table + " WHERE RECNO = ?)";
  }

  // Rows after the current one in the fetch order (before it when `back`).
  std::string Beyond(bool back, int* params) const {
    std::string any;
    *params = 0;
    for (std::size_t i = 0; i < keys.size(); ++i) {
      std::string term;
      for (std::size_t j = 0; j < i; ++j) {
        const std::string& c = keys[j].column;
        std::string cur = Current(c);
        term += "(q." + c + " = " + cur + " OR (q." + c + " IS NULL AND " + cur + " IS NULL)) AND ";
      }
      const std::string& c = keys[i].column;
      std::string cur = Current(c);
      // NULL sorts lowest: "greater" in ascending order, "smaller" in descending.
      bool upward = keys[i].descending == back;
      if (upward)
        term += "(q." + c + " > " + cur + " OR (q." + c + " IS NOT NULL AND " + cur + " IS NULL))";
      else
        term += "(q." + c + " < " + cur + " OR (q." + c + " IS NULL AND " + cur + " IS NOT NULL))";
      any += (any.empty() ? "(" : " OR (") + term + ")";
    }
    // A current row deleted meanwhile has no keys to step from.
    any = "(" + any + ") AND EXISTS (SELECT 1 FROM " + table + " WHERE RECNO = ?)";
    *params = static_cast<int>(std::count(any.begin(), any.end(), '?'));
    return any;
  }

  std::string Order(bool back) const {
    std::string order;
    for (const Key& k : keys) {
      if (!order.empty()) order += ", ";
      order += "q." + k.column + ((k.descending != back) ? " DESC" : "");
    }
    return order;
  }

  std::string Select(const std::string& where, bool back) const {
    return "SELECT * FROM (" + script + ") q" + (where.empty() ? "" : " WHERE " + where) +
           " ORDER BY " + Order(back) + " LIMIT 1";
  }

  bool Take(bool found) {
    if (!found) return false;
    hasRecord = true;
    recno = kvt::sql::NumVal(stmt.Column(std::string("RECNO")));
    return true;
  }

  bool Ready() {
    if (table.empty()) return Fail("the ordered fetch has no table");
    if (script.empty()) return Fail("the ordered fetch has no script");
    return true;
  }

  bool End(bool back) {
    if (!Ready()) return false;
    if (!stmt.ExecuteText(Select("", back))) return Fail(stmt.error());
    return Take(stmt.Fetch());
  }

  bool Step(bool back) {
    if (!hasRecord) return End(back);
    if (!Ready()) return false;
    int params = 0;
    std::string sql = Select(Beyond(back, &params), back);
    std::string r = kvt::sql::FormatDouble(recno);
    for (int i = 0; i < params; ++i) stmt.Bind(r.c_str(), 2);
    if (!stmt.ExecuteText(sql)) return Fail(stmt.error());
    if (stmt.Fetch()) return Take(true);
    FindRecNo(recno);  // at the end the current record stays current
    return false;
  }

  bool FindRecNo(double wanted) {
    if (!Ready()) return false;
    stmt.Bind(kvt::sql::FormatDouble(wanted).c_str(), 2);
    if (!stmt.ExecuteText("SELECT * FROM (" + script + ") q WHERE q.RECNO = ?"))
      return Fail(stmt.error());
    return Take(stmt.Fetch());
  }
};

OrderedFetch::OrderedFetch() : impl_(new Impl) {}
OrderedFetch::~OrderedFetch() {
  delete impl_;
}

bool OrderedFetch::OpenConnection(HINSTANCE, HWND, int connectionNumber, const char* table) {
  impl_->hasRecord = false;
  if (connectionNumber != 1) return impl_->Fail("only connection 1 is served here");
  if (!ConnectionOne::Get().IsOpen()) return impl_->Fail("connection 1 is not open");
  std::string t = table ? table : "";
  if (!kvt::sql::IsSqlName(t)) return impl_->Fail("\"" + t + "\" is not a table name");
  impl_->table = t;
  return true;
}

bool OrderedFetch::SetFetchScript(const char* script, const char* columns, const char* keyColumns,
                                  int keyWidth) {
  impl_->hasRecord = false;
  std::vector<Key> keys;
  std::string error;
  if (!ParseKeys(keyColumns ? keyColumns : "", &keys, &error)) return impl_->Fail(error);
  std::string cols = columns ? columns : "";
  // Every key column must come out of the script for the steps to compare it.
  std::string upperCols = "," + Upper(cols) + ",";
  for (char& ch : upperCols)
    if (ch == ' ' || ch == '\t') ch = ',';
  for (const Key& k : keys)
    if (upperCols.find("," + Upper(k.column) + ",") == std::string::npos) cols += "," + k.column;
  std::string text = script ? script : "";
  std::string filled;
  int fills = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '%' && i + 1 < text.size() && text[i + 1] == 's') {
      filled += fills == 0 ? cols : impl_->table;
      ++fills;
      ++i;
    } else {
      filled += text[i];
    }
  }
  if (fills == 0 || fills > 2)
    return impl_->Fail("the fetch script needs %s for the column list (and %s for the table)");
  impl_->script = filled;
  impl_->columns = cols;
  impl_->keys = keys;
  impl_->keyWidth = keyWidth > 0 ? keyWidth : 50;
  return true;
}

bool OrderedFetch::SetFetchOrder(const char* keyColumns) {
  std::vector<Key> keys;
  std::string error;
  if (!ParseKeys(keyColumns ? keyColumns : "", &keys, &error)) return impl_->Fail(error);
  impl_->keys = keys;
  return true;
}

bool OrderedFetch::FirstRecord() {
  return impl_->End(false);
}
bool OrderedFetch::LastRecord() {
  return impl_->End(true);
}
bool OrderedFetch::NextRecord() {
  return impl_->Step(false);
}
bool OrderedFetch::PreviousRecord() {
  return impl_->Step(true);
}
bool OrderedFetch::FindRecNo(double recno) {
  return impl_->FindRecNo(recno);
}

void OrderedFetch::Reset() {
  impl_->hasRecord = false;
}

bool OrderedFetch::HasRecord() const {
  return impl_->hasRecord && impl_->stmt.HasRow();
}
double OrderedFetch::RecNo() const {
  return HasRecord() ? impl_->recno : 0;
}
int OrderedFetch::ColumnCount() const {
  return impl_->stmt.ColumnCount();
}

const char* OrderedFetch::Column(int column) const {
  return HasRecord() ? impl_->stmt.Column(column) : "";
}

const char* OrderedFetch::Column(const char* name) const {
  return HasRecord() && name ? impl_->stmt.Column(std::string(name)) : "";
}

std::string OrderedFetch::KeyValue() const {
  if (!HasRecord() || impl_->keys.empty()) return "";
  std::string v = impl_->stmt.Column(impl_->keys[0].column);
  if (static_cast<int>(v.size()) > impl_->keyWidth) v.resize(impl_->keyWidth);
  return v;
}

const char* OrderedFetch::LastError() const {
  return impl_->error.c_str();
}
