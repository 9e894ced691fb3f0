#include "backoffice/exchange.h"

#include <sys/stat.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <filesystem>
#include <system_error>

#include "platform/sql/kvtsql.h"
#include "platform/sql/query.h"

namespace fs = std::filesystem;

namespace {

std::string Trim(const std::string& s) {
  size_t b = s.find_first_not_of(" \t\r\n");
  if (b == std::string::npos) return "";
  size_t e = s.find_last_not_of(" \t\r\n");
  return s.substr(b, e - b + 1);
}

std::string Upper(std::string s) {
  for (char& c : s) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return s;
}

std::vector<std::string> Split(const std::string& s, char sep) {
  std::vector<std::string> parts(1);
  for (char c : s) {
    if (c == sep)
      parts.emplace_back();
    else
      parts.back() += c;
  }
  return parts;
}

std::string Compact(const std::string& date) {
  if (date.size() == 10 && date[2] == '/' && date[5] == '/')
    return date.substr(0, 2) + date.substr(3, 2) + date.substr(6, 4);
  return date;
}

int Hour12(int hour) {
  return hour > 12 ? hour - 12 : hour;
}
const char* Half(int hour) {
  return hour > 12 ? "PM" : "AM";
}

}  // namespace

std::string KVTExchange::MakeDateYYYYMMDD(const std::string& date) {
  std::string d = Trim(date);
  if (d.size() != 8) return d;
  return d.substr(4, 4) + d.substr(0, 4);
}

bool KVTExchange::ParseFileName(const std::string& fileName, std::string* store, std::string* till,
                                std::string* date, std::string* shift, std::string* sortDate) {
  std::vector<std::string> parts = Split(fileName, '-');
  std::string kind = parts.empty() ? "" : Upper(parts[0]);
  size_t want = kind == "ST" ? 5 : kind == "TU" ? 4 : 0;
  if (want == 0 || parts.size() != want) return false;
  std::string day = parts[want - 1].substr(0, 8);
  if (day.size() != 8 ||
      !std::all_of(day.begin(), day.end(), [](unsigned char c) { return std::isdigit(c); }))
    return false;
  *store = parts[1];
  *till = parts[2];
  *shift = want == 5 ? (parts[3] == "__" ? "ALL" : parts[3]) : "";
  *date = day.substr(0, 2) + "/" + day.substr(2, 2) + "/" + day.substr(4, 4);
  *sortDate = MakeDateYYYYMMDD(day);
  return true;
}

std::string KVTExchange::CreatedText(const std::tm& t) {
  char text[64];
  std::snprintf(text, sizeof text, "%.2d/%.2d/%.4d %.2d:%.2d:%.2d %s", t.tm_mon + 1, t.tm_mday,
                t.tm_year + 1900, Hour12(t.tm_hour), t.tm_min, t.tm_sec, Half(t.tm_hour));
  return text;
}

std::string KVTExchange::UpdateSortField(const std::string& sortDate, const std::tm& t) {
  char text[64];
  std::snprintf(text, sizeof text, "%s%s%.2d%.2d%.2d", sortDate.c_str(), Half(t.tm_hour),
                Hour12(t.tm_hour), t.tm_min, t.tm_sec);
  return text;
}

std::string KVTExchange::SalesPrefix(const std::string& store, const std::string& till) {
  return "ST-" + store + "-" + till + "-";
}
std::string KVTExchange::UpdatePrefix(const std::string& store, const std::string& till) {
  return "TU-" + store + "-" + till + "-";
}
std::string KVTExchange::SalesFileName(const std::string& store, const std::string& till,
                                       const std::string& shift, const std::string& date) {
  return SalesPrefix(store, till) + (Trim(shift).empty() ? "__" : Trim(shift)) + "-" +
         Compact(date) + ".ZIP";
}
std::string KVTExchange::UpdateFileName(const std::string& store, const std::string& till,
                                        const std::string& date) {
  return UpdatePrefix(store, till) + Compact(date) + ".ZIP";
}

bool KVTExchange::ListFiles(const std::string& directory, const std::string& prefix, bool sales,
                            std::vector<KVTExchangeFile>* files, std::string* error) {
  files->clear();
  std::string dir = directory;
  if (!dir.empty() && dir.back() != '/' && dir.back() != '\\') dir += '/';
  std::error_code ec;
  fs::directory_iterator it(dir.empty() ? fs::path(".") : fs::path(dir), ec), end;
  if (ec) {
    *error = "The directory " + dir + " cannot be read: " + ec.message();
    return false;
  }
  const std::string head = Upper(prefix);
  for (; it != end; it.increment(ec)) {
    if (ec) {
      *error = "The directory " + dir + " cannot be read: " + ec.message();
      return false;
    }
    std::error_code kindEc;
    if (!it->is_regular_file(kindEc)) continue;  // sub-directories are not offered
    std::string name = it->path().filename().string();
    std::string up = Upper(name);
    if (up.size() < head.size() + 4 || up.compare(0, head.size(), head) != 0 ||
        up.compare(up.size() - 4, 4, ".ZIP") != 0)
      continue;
    KVTExchangeFile f;
    std::string sortDate;
    if (!ParseFileName(name, &f.store, &f.till, &f.date, &f.shift, &sortDate)) continue;
    struct stat st {};
    if (::stat(it->path().c_str(), &st) != 0) continue;  // gone since it was listed
    std::tm local{};
    localtime_r(&st.st_mtime, &local);
    f.fileName = name;
    f.path = dir;
    f.created = CreatedText(local);
    f.sort = sales ? sortDate + f.shift : UpdateSortField(sortDate, local);
    files->push_back(std::move(f));
  }
  std::stable_sort(files->begin(), files->end(),
                   [](const KVTExchangeFile& a, const KVTExchangeFile& b) {
                     return a.sort != b.sort ? a.sort < b.sort : a.fileName < b.fileName;
                   });
  return true;
}

std::string KVTExchange::ImportResult(int successes, int failures, bool sales) {
  auto line = [](int n, const char* one, const char* many) {
    char text[128];
    std::snprintf(text, sizeof text, n == 1 ? one : many, n);
    return std::string(text);
  };
  std::string ok =
      line(successes, "%i file was imported successfully.", "%i files were imported successfully.");
  std::string bad = line(failures, "%i file was not imported due to errors.",
                         "%i files were not imported due to errors.");
  if (sales) return ok + "\n" + bad;
  std::string text;
  if (successes > 0) text = ok;
  if (failures > 0) text += (text.empty() ? "" : "\n") + bad;
  return text;
}

std::string KVTExchange::TillData(const std::string& store, const std::string& till) {
  return "01=" + store + "\t02=" + till + "\t";
}

std::string KVTExchange::SalesImportData(const std::string& path, bool reimport,
                                         const std::string& trnST, const std::string& trnPB,
                                         const std::string& trnCST) {
  std::string data = "01=" + path + "\t";
  if (!reimport) return data + "02=N\t";
  return data + "02=Y\t03=" + trnST + "\t04=" + trnPB + "\t05=" + trnCST + "\t";
}

std::string KVTExchange::CheckCriteria(const std::string& store, const std::string& till,
                                       bool* tillField) {
  namespace sql = kvt::sql;
  *tillField = false;
  if (Trim(store).empty()) return "Store is required.";
  sql::Result s = sql::Run("SELECT RECNO FROM KVTCOM13 WHERE REFERENCE = ?", {sql::Text(store)});
  if (s.found() == sql::Found::Failed) return "The stores could not be read: " + s.error();
  if (s.found() == sql::Found::No) return "Invalid Store.";
  *tillField = true;
  if (Trim(till).empty()) return "Till Reference is required.";
  sql::Result t = sql::Run("SELECT RECNO FROM KVTCOM14 WHERE STOREREF = ? AND TILLNUM = ?",
                           {sql::Text(store), sql::Text(till)});
  if (t.found() == sql::Found::Failed) return "The tills could not be read: " + t.error();
  if (t.found() == sql::Found::No) return "Invalid Till Reference.";
  return "";
}

bool KVTExchange::TillDirectConnect(const std::string& store, const std::string& till, bool* direct,
                                    std::string* error) {
  namespace sql = kvt::sql;
  sql::Result r = sql::Run("SELECT CONTYPE FROM KVTCOM14 WHERE STOREREF = ? AND TILLNUM = ?",
                           {sql::Text(store), sql::Text(till)});
  if (!r.ok()) {
    *error = "The till's connection could not be read: " + r.error();
    return false;
  }
  *direct = r.found() == sql::Found::Yes && r.first()["CONTYPE"] == "D";
  return true;
}

bool KVTExchange::RecordOwnTill(const std::string& store, const std::string& till,
                                const std::string& path, bool removable, std::string* error) {
  namespace sql = kvt::sql;
  sql::Transaction unit;
  if (!unit.ok()) {
    *error = unit.error();
    return false;
  }
  sql::Result gone = sql::Run("DELETE FROM KVTCOM14");
  if (!gone.ok()) {
    *error = gone.error();
    return false;
  }
  double recno = NextNum(1, "KVTCOM14", 100);
  if (recno <= 0) {
    *error = KVTLastSqlError();
    return false;
  }
  char number[64];
  std::snprintf(number, sizeof number, "%.0f", recno);
  sql::Result in = sql::Run(
      "INSERT INTO KVTCOM14 (STOREREF,TILLNUM,CONTYPE,CONPATH,REMOVABLE,RECNO) "
      "VALUES(?,?,?,?,?,?)",
      {sql::Text(store), sql::Text(till), sql::Text("F"), sql::Text(path),
       sql::Text(removable ? "T" : "F"), sql::Number(number)});
  if (!in.ok() || in.changed() < 1) {
    *error = in.ok() ? "No row was saved." : in.error();
    return false;
  }
  if (!unit.Commit()) {
    *error = unit.error();
    return false;
  }
  return true;
}

bool KVTExchange::NoStores(bool* none, std::string* error) {
  namespace sql = kvt::sql;
  sql::Result r = sql::Run("SELECT RECNO FROM KVTCOM13");
  if (!r.ok()) {
    *error = "The stores could not be read: " + r.error();
    return false;
  }
  *none = r.found() == sql::Found::No;
  return true;
}
