// The customer import: ICUST rows into the five customer tables.
#include "backoffice/custimport.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "platform/sql/dbf/filetable.h"
#include "platform/sql/kvtsql.h"
#include "platform/sql/query.h"
#include "platform/win/folders.h"

namespace sql = kvt::sql;

namespace {

// The ICUST columns in the order read; the mapping below names them by index.
// File-table statements (connection 3), put together with the table's path.
constexpr const char* kColumnList =
    "IC_CODE,IC_NAME,IC_ADDR1,IC_ADDR2,IC_CITY,IC_ST,IC_ZIP,IC_PHONE,IC_CURR,IC_THIRTY,"
    "IC_SIXTY,IC_NINTY,IC_ONETWEN,IC_OFIFTY,IC_ONEIGHT,IC_TWOTEN,IC_TWOFOUR,IC_TWOSEVN,IC_THREE,"
    "IC_THREETH,IC_ONEYEAR,IC_LAS_PAY,IC_CRDLMT,IC_CHRG_OK,IC_ACTIVE,CREDITNOTE";
std::string FileSelect(const char* columns, const std::string& table) {
  return std::string("SELECT ") + columns + " FROM " + table;
}
enum Col {
  IC_CODE,
  IC_NAME,
  IC_ADDR1,
  IC_ADDR2,
  IC_CITY,
  IC_ST,
  IC_ZIP,
  IC_PHONE,
  IC_CURR,  // then the twelve aged balances, IC_THIRTY to IC_ONEYEAR
  IC_LAS_PAY = IC_CURR + 13,
  IC_CRDLMT,
  IC_CHRG_OK,
  IC_ACTIVE,
  CREDITNOTE,
  kColumns
};

struct Insert {
  const char* table;
  const char* sql;
};
const Insert kInserts[] = {
    {"KVTAR50",
     "INSERT INTO KVTAR50 (REFERENCE,NAME,ADDRESS1,ADDRESS2,CITY,STATE,ZIPCODE,ISACTIVE,LMODDATE,"
     "RECNO) VALUES (?,?,?,?,?,?,?,?,?,?)"},
    {"KVTAR54",
     "INSERT INTO KVTAR54 (REFERENCE,CURRENT,MONTH1,MONTH2,MONTH3,MONTH4,MONTH5,MONTH6,MONTH7,"
     "MONTH8,MONTH9,MONTH10,MONTH11,MONTH12,RECNO) VALUES (?,?,?,?,?,?,?,?,?,?,?,?,?,?,?)"},
    {"KVTAR57", "INSERT INTO KVTAR57 (CUSTLINK,TELEPHONE,RECNO) VALUES (?,?,?)"},
    {"KVTAR51",
     "INSERT INTO KVTAR51 (REFERENCE,CASHONLY,LPAYAMT,CREDITLMT,RECNO,OPENBALFWD,PRTSTMNT,"
     "ALLOWDISC,NOSERCHG,NOINTEREST) VALUES (?,?,?,?,?,?,?,?,?,?)"},
    {"KVTAR55", "INSERT INTO KVTAR55 (LINK,COMMENT,RECNO,COMMDATE) VALUES (?,?,?,?)"},
};

std::string Format(const char* format, double value) {
  char text[64];
  std::snprintf(text, sizeof text, format, value);
  return text;
}

}  // namespace

std::string KVTCleanCustomerValue(std::string_view raw) {
  std::string out;
  int characters = 0;
  for (size_t i = 0; i < raw.size();) {
    unsigned char c = static_cast<unsigned char>(raw[i]);
    size_t length = c < 0xC0 ? 1 : c < 0xE0 ? 2 : c < 0xF0 ? 3 : 4;
    length = std::min(length, raw.size() - i);
    if (raw[i] != '\'') {
      if (characters == 49) break;
      out.append(raw.substr(i, length));
      ++characters;
    }
    i += length;
  }
  return out;
}

std::string KVTImportFolder(std::string_view path) {
  size_t b = path.find_first_not_of(" \t");
  if (b == std::string_view::npos) return "";
  std::string folder(path.substr(b, path.find_last_not_of(" \t") - b + 1));
  if (folder.back() != '/' && folder.back() != '\\') folder += '/';
  return folder;
}

std::string KVTBrowseStart(std::string_view path) {
  std::string p(path);
  if (p.size() > 3 && (p.back() == '/' || p.back() == '\\')) p.pop_back();
  while (!p.empty() && !FolderExists(p)) {
    size_t slash = p.find_last_of("/\\");
    if (slash == std::string::npos) return "";
    p.resize(slash == 0 ? 1 : slash);
    if (slash == 0 && !FolderExists(p)) return "";
  }
  return p;
}

KVTCustomerImport::KVTCustomerImport(std::string workFolder) : table_(workFolder + "ICUST") {}

bool KVTCustomerImport::Fail(std::string error, std::string table, std::string customer) {
  imported_ = 0;
  error_ = std::move(error);
  failedTable_ = std::move(table);
  failedCustomer_ = std::move(customer);
  return false;
}

void KVTCustomerImport::DropTable() {
  sql::FileQuery drop;
  drop.Run("DROP TABLE " + table_);
}

bool KVTCustomerImport::Count(long* rows) {
  sql::FileQuery count;
  if (!count.Run(FileSelect("COUNT(1)", table_))) return Fail(count.error());
  if (count.Fetch() != sql::Found::Yes)
    return Fail(count.error().empty() ? "The count of " + table_ + " gave no row." : count.error());
  *rows = std::atol(count[0].c_str());
  return true;
}

bool KVTCustomerImport::Replace(const std::string& today,
                                const std::function<void(long done)>& progress) {
  imported_ = 0;
  error_.clear();
  failedTable_.clear();
  failedCustomer_.clear();
  sql::FileQuery rows;
  if (!rows.Run(FileSelect(kColumnList, table_))) return Fail(rows.error());
  // Where the database takes statements together, the inserts go in
  // batches; a failure is traced back to its customer and table.
  sql::Pipeline pipe;
  sql::Transaction unit;
  if (!unit.ok()) return Fail(unit.error());
  struct Waiting {
    std::size_t first;  // the number of its KVTAR50 insert in the pipeline
    std::string code;
  };
  std::vector<Waiting> waiting;
  auto sendFailed = [&](const std::string& error) {
    for (const Waiting& w : waiting)
      for (int t = 0; t < 5; ++t)
        if (!pipe.Answer(w.first + t).ok()) return Fail(pipe.error(), kInserts[t].table, w.code);
    return Fail(pipe.failed() ? pipe.error() : error);
  };
  for (const char* remove : {"DELETE FROM KVTAR50", "DELETE FROM KVTAR51", "DELETE FROM KVTAR54",
                             "DELETE FROM KVTAR55", "DELETE FROM KVTAR57"}) {
    sql::Result gone = sql::Run(remove);
    if (!gone.ok()) return Fail("The customers could not be removed: " + gone.error());
  }
  std::vector<sql::Query> inserts;
  for (const Insert& i : kInserts) inserts.emplace_back(i.sql);
  std::vector<std::string> v(kColumns);
  std::vector<sql::Value> values;
  for (;;) {
    sql::Found found = rows.Fetch();
    if (found == sql::Found::No) break;
    if (found == sql::Found::Failed) return Fail(rows.error());
    for (int c = 0; c < kColumns; ++c) v[c] = KVTCleanCustomerValue(rows[c]);
    double recno[5];
    for (int t = 0; t < 5; ++t) {
      recno[t] = NextNum(1, kInserts[t].table, 100);
      if (recno[t] <= 0 && pipe.failed()) return sendFailed(KVTLastSqlError());
      if (recno[t] <= 0)
        return Fail("No record number: " + std::string(KVTLastSqlError()), kInserts[t].table,
                    v[IC_CODE]);
    }
    const std::string customer = Format("%.0f", recno[0]);
    waiting.push_back({pipe.size(), v[IC_CODE]});
    for (int t = 0; t < 5; ++t) {
      const std::string number = Format("%.0f", recno[t]);
      switch (t) {
        case 0:
          values = {sql::Text(v[IC_CODE]),  sql::Text(v[IC_NAME]),
                    sql::Text(v[IC_ADDR1]), sql::Text(v[IC_ADDR2]),
                    sql::Text(v[IC_CITY]),  sql::Text(v[IC_ST]),
                    sql::Text(v[IC_ZIP]),   sql::Number(v[IC_ACTIVE] == "1" ? "0" : "1"),
                    sql::Date(today),       sql::Number(number)};
          break;
        case 1:
          values = {sql::Text(v[IC_CODE])};
          for (int a = 0; a < 13; ++a)
            values.push_back(sql::Text(Format("%.2f", std::atof(v[IC_CURR + a].c_str()))));
          values.push_back(sql::Number(number));
          break;
        case 2:
          values = {sql::Text(customer), sql::Text(v[IC_PHONE]), sql::Number(number)};
          break;
        case 3:
          values = {sql::Text(v[IC_CODE]),
                    sql::Number(std::atoi(v[IC_CHRG_OK].c_str()) == 1 ? "0" : "1"),
                    sql::Text(v[IC_LAS_PAY]),
                    sql::Text(v[IC_CRDLMT]),
                    sql::Number(number),
                    sql::Text("O"),
                    sql::Number("0"),
                    sql::Number("0"),
                    sql::Number("0"),
                    sql::Number("0")};
          break;
        default:
          values = {sql::Text(v[IC_CODE]), sql::Text(v[CREDITNOTE]), sql::Number(number),
                    sql::Date(today)};
      }
      sql::Result r = inserts[t].Run(values);
      if (!r.ok() && pipe.failed()) return sendFailed(r.error());
      if (!r.ok() || r.changed() < 1)
        return Fail(r.ok() ? "No row was saved." : r.error(), kInserts[t].table, v[IC_CODE]);
    }
    ++imported_;
    if (waiting.size() == 200) {
      if (!pipe.Send()) return sendFailed(pipe.error());
      waiting.clear();
    }
    if (progress) progress(imported_);
  }
  if (!unit.Commit()) return sendFailed(unit.error());
  return true;
}
