#include "suite/kvtctm/archive.h"

#include <zip.h>

#include <cstdio>
#include <map>
#include <set>
#include <sstream>
#include <vector>

#include "platform/sql/kvtsql.h"
#include "platform/sql/kvtsqladmin.h"
#include "platform/sql/query.h"

namespace sql = kvt::sql;

namespace kvt::ctm {
namespace {

// Header first: the lines and taxes of a sale are replaced with it.
const char* const kTables[] = {"KVTPOS1", "KVTPOS2", "KVTPOS3"};

// Record numbers are the office's own and the transfer mark is the office's
// to set, so neither travels.
bool Travels(const std::string& column) {
  return column != "RECNO" && column != "TRANSNUM";
}

std::vector<KVTColumnDef> Columns(const std::string& table, bool all = false) {
  // The columns as this database has them, so a file from a database of
  // an older schema names only columns both know.
  std::vector<KVTColumnDef> described, columns;
  if (KVTDescribeTable(table.c_str(), &described))
    for (const KVTColumnDef& c : described)
      if (all || Travels(c.name)) columns.push_back(c);
  return columns;
}

std::string Escape(const std::string& value) {
  std::string out;
  for (char c : value) {
    switch (c) {
      case '\\':
        out += "\\\\";
        break;
      case '\t':
        out += "\\t";
        break;
      case '\n':
        out += "\\n";
        break;
      case '\r':
        out += "\\r";
        break;
      default:
        out += c;
    }
  }
  return out;
}

// One line split at tabs and unescaped; false on a stray backslash.
bool SplitLine(const std::string& line, std::vector<std::string>* fields) {
  fields->assign(1, "");
  for (size_t i = 0; i < line.size(); ++i) {
    char c = line[i];
    if (c == '\t') {
      fields->emplace_back();
    } else if (c == '\\') {
      if (++i == line.size()) return false;
      char e = line[i];
      if (e == 't')
        fields->back() += '\t';
      else if (e == 'n')
        fields->back() += '\n';
      else if (e == 'r')
        fields->back() += '\r';
      else if (e == '\\')
        fields->back() += '\\';
      else
        return false;
    } else {
      fields->back() += c;
    }
  }
  return true;
}

sql::Value Bind(const KVTColumnDef& c, const std::string& v) {
  switch (c.type) {
    case KVTColumnType::Double:
    case KVTColumnType::Integer:
      return sql::Number(v);
    case KVTColumnType::Date:
      return sql::Date(v);
    default:
      return sql::Text(v);
  }
}

std::string ZipError(zip_t* za) {
  return za ? zip_strerror(za) : "unknown error";
}

// The rows of one table in the archive: its column names and values.
struct TableData {
  std::vector<std::string> columns;
  std::vector<std::vector<std::string>> rows;
};

bool ReadEntry(zip_t* za, const std::string& name, std::string* text, std::string* error) {
  zip_stat_t st;
  zip_stat_init(&st);
  if (zip_stat(za, name.c_str(), 0, &st) != 0) {
    *error = "The archive does not hold " + name + ".";
    return false;
  }
  zip_file_t* f = zip_fopen(za, name.c_str(), 0);
  if (!f) {
    *error = "The archive's " + name + " cannot be read: " + ZipError(za) + ".";
    return false;
  }
  text->clear();
  char buf[65536];
  zip_int64_t n;
  while ((n = zip_fread(f, buf, sizeof buf)) > 0) text->append(buf, static_cast<size_t>(n));
  std::string why = n < 0 ? zip_file_strerror(f) : "";
  zip_fclose(f);
  if (n < 0 || (st.valid & ZIP_STAT_SIZE && text->size() != st.size)) {
    *error = "The archive's " + name + " is damaged: " + (why.empty() ? "short entry" : why) + ".";
    return false;
  }
  return true;
}

bool ParseTable(const std::string& table, const std::string& text, bool all, TableData* data,
                std::string* error) {
  std::vector<KVTColumnDef> known = Columns(table, all);
  std::stringstream in(text);
  std::string line;
  if (!std::getline(in, line) || !SplitLine(line, &data->columns)) {
    *error = "The archive's " + table + " has no column line.";
    return false;
  }
  for (const std::string& name : data->columns) {
    bool found = false;
    for (const KVTColumnDef& c : known) found = found || c.name == name;
    if (!found) {
      *error = "The archive's " + table + " has a column the database does not know: " + name + ".";
      return false;
    }
  }
  std::vector<std::string> fields;
  int number = 1;
  while (std::getline(in, line)) {
    ++number;
    if (!SplitLine(line, &fields) || fields.size() != data->columns.size()) {
      *error = "The archive's " + table + " is damaged at line " + std::to_string(number) + ".";
      return false;
    }
    data->rows.push_back(fields);
  }
  return true;
}

// Writes the entries into `path`, beside first and renamed, so a reader
// never meets half a file.
bool WriteZip(const std::string& path, const std::string& kind,
              const std::vector<std::string>& names, const std::vector<std::string>& texts,
              std::string* error) {
  std::string part = path + ".part";
  int code = 0;
  zip_t* za = zip_open(part.c_str(), ZIP_CREATE | ZIP_TRUNCATE, &code);
  if (!za) {
    zip_error_t ze;
    zip_error_init_with_code(&ze, code);
    *error =
        "The " + kind + " file " + path + " cannot be written: " + zip_error_strerror(&ze) + ".";
    zip_error_fini(&ze);
    return false;
  }
  for (size_t i = 0; i < texts.size(); ++i) {
    zip_source_t* src = zip_source_buffer(za, texts[i].data(), texts[i].size(), 0);
    std::string name = names[i];
    if (!src || zip_file_add(za, name.c_str(), src, ZIP_FL_OVERWRITE) < 0) {
      if (src) zip_source_free(src);
      *error = "The " + kind + " file " + path + " cannot be written: " + ZipError(za) + ".";
      zip_discard(za);
      std::remove(part.c_str());
      return false;
    }
  }
  if (zip_close(za) != 0) {
    *error = "The " + kind + " file " + path + " cannot be written: " + ZipError(za) + ".";
    zip_discard(za);
    std::remove(part.c_str());
    return false;
  }
  if (std::rename(part.c_str(), path.c_str()) != 0) {
    *error = "The " + kind + " file " + path + " cannot be put in place.";
    std::remove(part.c_str());
    return false;
  }
  return true;
}

// Reads the named tables of an archive, checked before anything is written.
bool ReadTables(const std::string& path, const std::string& kind,
                const std::vector<std::string>& tables, bool all,
                std::map<std::string, TableData>* data, std::string* error) {
  int code = 0;
  zip_t* za = zip_open(path.c_str(), ZIP_RDONLY | ZIP_CHECKCONS, &code);
  if (!za) {
    zip_error_t ze;
    zip_error_init_with_code(&ze, code);
    *error =
        "The " + kind + " file " + path + " cannot be opened: " + zip_error_strerror(&ze) + ".";
    zip_error_fini(&ze);
    return false;
  }
  for (const std::string& table : tables) {
    std::string text;
    if (!ReadEntry(za, table + ".TXT", &text, error) ||
        !ParseTable(table, text, all, &(*data)[table], error)) {
      zip_discard(za);
      *error = "The " + kind + " file " + path + " was not imported. " + *error;
      return false;
    }
  }
  zip_discard(za);
  return true;
}

}  // namespace

bool WriteSalesArchive(const std::string& directory, const std::string& store,
                       const std::string& till, const std::string& shift, const std::string& date,
                       std::string* path, int* count, std::string* error) {
  *count = 0;
  std::string where =
      " WHERE STORE = ? AND TILLREF = ? AND INVDATE = ? AND STATUS <> 'S' AND (TRANSNUM = '' OR "
      "TRANSNUM IS NULL)";
  std::vector<sql::Value> values{sql::Text(store), sql::Text(till), sql::Date(date)};
  if (!shift.empty()) {
    where += " AND SHIFT = ?";
    values.push_back(sql::Text(shift));
  }
  std::vector<std::string> texts;
  for (const char* table : kTables) {
    std::vector<KVTColumnDef> columns = Columns(table);
    std::string list, head;
    for (const KVTColumnDef& c : columns) {
      list += (list.empty() ? "" : ",") + c.name;
      head += (head.empty() ? "" : "\t") + c.name;
    }
    std::string select = "SELECT " + list + " FROM " + table;
    select += std::string(table) == "KVTPOS1"
                  ? where
                  : " WHERE INVOICELNK IN (SELECT INVOICELNK FROM KVTPOS1" + where + ")";
    sql::Result r = sql::Run(select + " ORDER BY RECNO", values);
    if (!r.ok()) {
      *error = std::string("The sales (") + table + ") could not be read: " + r.error();
      return false;
    }
    if (std::string(table) == "KVTPOS1") {
      if (r.rows().empty()) {
        *error = "There are no sales to export for store " + store + ", till " + till + " on " +
                 date + ".";
        return false;
      }
      *count = static_cast<int>(r.rows().size());
    }
    std::string text = head + "\n";
    for (const sql::Row& row : r.rows()) {
      std::string line;
      for (size_t i = 0; i < columns.size(); ++i)
        line += (i ? "\t" : "") + Escape(row[columns[i].name]);
      text += line + "\n";
    }
    texts.push_back(std::move(text));
  }

  std::string dir = directory;
  if (!dir.empty() && dir.back() != '/' && dir.back() != '\\') dir += '/';
  std::string compact =
      date.size() == 10 ? date.substr(0, 2) + date.substr(3, 2) + date.substr(6) : date;
  *path = dir + "ST-" + store + "-" + till + "-" + (shift.empty() ? "__" : shift) + "-" + compact +
          ".ZIP";
  std::vector<std::string> names;
  for (const char* table : kTables) names.push_back(std::string(table) + ".TXT");
  return WriteZip(*path, "sales", names, texts, error);
}

bool ImportSalesArchive(const std::string& path, int* count, std::string* error) {
  *count = 0;
  std::map<std::string, TableData> data;
  std::vector<std::string> tables(std::begin(kTables), std::end(kTables));
  if (!ReadTables(path, "sales", tables, false, &data, error)) return false;

  const TableData& headers = data["KVTPOS1"];
  int linkAt = -1;
  for (size_t i = 0; i < headers.columns.size(); ++i)
    if (headers.columns[i] == "INVOICELNK") linkAt = static_cast<int>(i);
  if (linkAt < 0 || headers.rows.empty()) {
    *error = "The sales file " + path + " holds no sales.";
    return false;
  }
  std::set<std::string> links;
  for (const auto& row : headers.rows) links.insert(row[linkAt]);

  sql::Transaction unit;
  if (!unit.ok()) {
    *error = "The import could not begin: " + unit.error();
    return false;
  }
  // A sale imported before keeps the office's transfer mark, so importing
  // the same file again neither doubles it nor offers it for transfer twice.
  std::map<std::string, std::string> marks;
  for (const std::string& link : links) {
    sql::Result was =
        sql::Run("SELECT TRANSNUM FROM KVTPOS1 WHERE INVOICELNK = ?", {sql::Text(link)});
    if (!was.ok()) {
      *error = "The sales imported before could not be read: " + was.error();
      return false;
    }
    if (was.found() == sql::Found::Yes) marks[link] = was.first()["TRANSNUM"];
    for (const char* table : kTables) {
      sql::Result gone = sql::Run(std::string("DELETE FROM ") + table + " WHERE INVOICELNK = ?",
                                  {sql::Text(link)});
      if (!gone.ok()) {
        *error = "The sales imported before could not be replaced: " + gone.error();
        return false;
      }
    }
  }
  for (const char* table : kTables) {
    const TableData& t = data[table];
    std::vector<KVTColumnDef> known = Columns(table);
    const bool headers = std::string(table) == "KVTPOS1";
    std::vector<KVTColumnDef> defs;
    std::string list = headers ? "TRANSNUM," : "", holes = headers ? "?," : "";
    for (const std::string& name : t.columns) {
      for (const KVTColumnDef& c : known)
        if (c.name == name) defs.push_back(c);
      list += name + ",";
      holes += "?,";
    }
    sql::Query insert(std::string("INSERT INTO ") + table + " (" + list + "RECNO) VALUES (" +
                      holes + "?)");
    for (const auto& row : t.rows) {
      double recno = NextNum(1, table, 1);
      if (recno <= 0) {
        *error = std::string("No record number for ") + table + ": " + KVTLastSqlError();
        return false;
      }
      std::vector<sql::Value> values;
      if (headers) values.push_back(sql::Text(marks[row[linkAt]]));
      for (size_t i = 0; i < defs.size(); ++i) values.push_back(Bind(defs[i], row[i]));
      values.push_back(sql::Number(recno));
      sql::Result in = insert.Run(values);
      if (!in.ok()) {
        *error = std::string("The sales could not be saved (") + table + "): " + in.error();
        return false;
      }
    }
  }
  if (!unit.Commit()) {
    *error = "The import could not be saved: " + unit.error();
    return false;
  }
  *count = static_cast<int>(headers.rows.size());
  return true;
}

const std::vector<std::string>& UpdateTables() {
  static const std::vector<std::string> tables{
      "KVTCOM10", "KVTCOM11", "KVTCOM12", "KVTCOM13", "KVTCOM14", "KVTCOM20", "KVTFL23",
      "KVTFL25",  "KVTAR16A", "KVTAR19",  "KVTINV1",  "KVTINV2",  "KVTINV17", "KVTINV18",
      "KVTINV19", "KVTINVRB", "KVTINVCB", "KVTPRB1",  "KVTPRB31", "KVTAR10",  "KVTAR50",
      "KVTAR50N", "KVTAR51",  "KVTAR54",  "KVTAR55",  "KVTAR57",  "KVTPOS11"};
  return tables;
}

bool WriteUpdateArchive(const std::string& directory, const std::string& store,
                        const std::string& till, const std::string& date, std::string* path,
                        std::string* error) {
  std::vector<std::string> names, texts;
  for (const std::string& table : UpdateTables()) {
    std::vector<KVTColumnDef> columns = Columns(table, true);
    std::string list, head;
    for (const KVTColumnDef& c : columns) {
      list += (list.empty() ? "" : ",") + c.name;
      head += (head.empty() ? "" : "\t") + c.name;
    }
    sql::Result r = sql::Run("SELECT " + list + " FROM " + table + " ORDER BY RECNO");
    if (!r.ok()) {
      *error = "The " + table + " rows could not be read: " + r.error();
      return false;
    }
    std::string text = head + "\n";
    for (const sql::Row& row : r.rows()) {
      std::string line;
      for (size_t i = 0; i < columns.size(); ++i)
        line += (i ? "\t" : "") + Escape(row[columns[i].name]);
      text += line + "\n";
    }
    names.push_back(table + ".TXT");
    texts.push_back(std::move(text));
  }
  std::string dir = directory;
  if (!dir.empty() && dir.back() != '/' && dir.back() != '\\') dir += '/';
  std::string compact =
      date.size() == 10 ? date.substr(0, 2) + date.substr(3, 2) + date.substr(6) : date;
  *path = dir + "TU-" + store + "-" + till + "-" + compact + ".ZIP";
  return WriteZip(*path, "update", names, texts, error);
}

bool ImportUpdateArchive(const std::string& path, std::string* error) {
  std::map<std::string, TableData> data;
  if (!ReadTables(path, "update", UpdateTables(), true, &data, error)) return false;
  sql::Transaction unit;
  if (!unit.ok()) {
    *error = "The update could not begin: " + unit.error();
    return false;
  }
  for (const std::string& table : UpdateTables()) {
    const TableData& t = data[table];
    sql::Result gone = sql::Run("DELETE FROM " + table);
    if (!gone.ok()) {
      *error = "The " + table + " rows could not be replaced: " + gone.error();
      return false;
    }
    if (t.rows.empty()) continue;
    std::vector<KVTColumnDef> known = Columns(table, true), defs;
    std::string list, holes;
    for (const std::string& name : t.columns) {
      for (const KVTColumnDef& c : known)
        if (c.name == name) defs.push_back(c);
      list += (list.empty() ? "" : ",") + name;
      holes += holes.empty() ? "?" : ",?";
    }
    sql::Query insert("INSERT INTO " + table + " (" + list + ") VALUES (" + holes + ")");
    for (const auto& row : t.rows) {
      std::vector<sql::Value> values;
      for (size_t i = 0; i < defs.size(); ++i) values.push_back(Bind(defs[i], row[i]));
      sql::Result in = insert.Run(values);
      if (!in.ok()) {
        *error = "The " + table + " rows could not be saved: " + in.error();
        return false;
      }
    }
  }
  if (!unit.Commit()) {
    *error = "The update could not be saved: " + unit.error();
    return false;
  }
  return true;
}

}  // namespace kvt::ctm
