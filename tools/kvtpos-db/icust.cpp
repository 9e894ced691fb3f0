// The database's customers as the office's customer table ICUST.dbf, the
// dBASE table the customer import reads: the demo store's POSFILES.ZIP is
// made from it, so importing it brings back the same customers.
#include "tools/kvtpos-db/icust.h"

#include <shapefil.h>

#include <cstdio>
#include <cstdlib>
#include <vector>

#include "platform/sql/query.h"

namespace sql = kvt::sql;

namespace {

struct Field {
  const char* name;
  DBFFieldType type;
  int width, decimals;
};
// clang-format off
const Field kFields[] = {
    {"IC_CODE", FTString, 10, 0},    {"IC_NAME", FTString, 40, 0},    {"IC_ADDR1", FTString, 40, 0},
    {"IC_ADDR2", FTString, 40, 0},   {"IC_CITY", FTString, 25, 0},    {"IC_ST", FTString, 2, 0},
    {"IC_ZIP", FTString, 10, 0},     {"IC_PHONE", FTString, 15, 0},   {"IC_CURR", FTDouble, 12, 2},
    {"IC_THIRTY", FTDouble, 12, 2},  {"IC_SIXTY", FTDouble, 12, 2},   {"IC_NINTY", FTDouble, 12, 2},
    {"IC_ONETWEN", FTDouble, 12, 2}, {"IC_OFIFTY", FTDouble, 12, 2},  {"IC_ONEIGHT", FTDouble, 12, 2},
    {"IC_TWOTEN", FTDouble, 12, 2},  {"IC_TWOFOUR", FTDouble, 12, 2}, {"IC_TWOSEVN", FTDouble, 12, 2},
    {"IC_THREE", FTDouble, 12, 2},   {"IC_THREETH", FTDouble, 12, 2}, {"IC_ONEYEAR", FTDouble, 12, 2},
    {"IC_LAS_PAY", FTString, 12, 0}, {"IC_CRDLMT", FTString, 12, 0},  {"IC_CHRG_OK", FTInteger, 1, 0},
    {"IC_ACTIVE", FTString, 1, 0},   {"CREDITNOTE", FTString, 60, 0}};
// clang-format on

// The first row's columns of a look-up; empty ones when there is none.
bool First(sql::Query& q, const std::string& key, sql::Row* row, bool* found, std::string* error) {
  sql::Result r = q.Run({sql::Text(key)});
  if (!r.ok()) return *error = r.error(), false;
  *found = r.found() == sql::Found::Yes;
  if (*found) *row = r.first();
  return true;
}

}  // namespace

bool WriteCustomerTable(const std::string& folder, int* written, std::string* error) {
  sql::Result customers = sql::Run(
      "SELECT REFERENCE,NAME,ADDRESS1,ADDRESS2,CITY,STATE,ZIPCODE,ISACTIVE,RECNO FROM KVTAR50 "
      "ORDER BY REFERENCE");
  if (!customers.ok()) return *error = customers.error(), false;
  sql::Query aging(
      "SELECT CURRENT,MONTH1,MONTH2,MONTH3,MONTH4,MONTH5,MONTH6,MONTH7,MONTH8,MONTH9,MONTH10,"
      "MONTH11,MONTH12 FROM KVTAR54 WHERE REFERENCE = ?");
  sql::Query terms("SELECT CASHONLY,LPAYAMT,CREDITLMT FROM KVTAR51 WHERE REFERENCE = ?");
  sql::Query phone("SELECT TELEPHONE FROM KVTAR57 WHERE CUSTLINK = ?");
  sql::Query note("SELECT COMMENT FROM KVTAR55 WHERE LINK = ?");
  DBFHandle h = DBFCreate((folder + "ICUST").c_str());
  if (!h) return *error = "cannot create " + folder + "ICUST.dbf", false;
  for (const Field& f : kFields) DBFAddField(h, f.name, f.type, f.width, f.decimals);
  int row = 0;
  bool ok = true;
  for (const sql::Row& c : customers.rows()) {
    char link[32];
    std::snprintf(link, sizeof link, "%.0f", c.Num("RECNO"));
    sql::Row a = c, t = c, p = c, n = c;
    bool hasA = false, hasT = false, hasP = false, hasN = false;
    const std::string& ref = c["REFERENCE"];
    if (!First(aging, ref, &a, &hasA, error) || !First(terms, ref, &t, &hasT, error) ||
        !First(phone, link, &p, &hasP, error) || !First(note, ref, &n, &hasN, error)) {
      ok = false;
      break;
    }
    std::vector<std::string> v = {ref,       c["NAME"],  c["ADDRESS1"], c["ADDRESS2"],
                                  c["CITY"], c["STATE"], c["ZIPCODE"],  hasP ? p["TELEPHONE"] : ""};
    const char* months[] = {"CURRENT", "MONTH1", "MONTH2", "MONTH3",  "MONTH4",  "MONTH5", "MONTH6",
                            "MONTH7",  "MONTH8", "MONTH9", "MONTH10", "MONTH11", "MONTH12"};
    for (const char* m : months) v.push_back(hasA ? a[m] : "");
    v.push_back(hasT ? t["LPAYAMT"] : "");
    v.push_back(hasT ? t["CREDITLMT"] : "");
    v.push_back(hasT && t["CASHONLY"] == "1" ? "0" : "1");
    v.push_back(c["ISACTIVE"] == "0" ? "1" : "0");
    v.push_back(hasN ? n["COMMENT"] : "");
    for (int f = 0; f < 26; ++f) {
      bool done = kFields[f].type == FTString
                      ? DBFWriteStringAttribute(h, row, f, v[f].c_str())
                      : DBFWriteDoubleAttribute(h, row, f, std::atof(v[f].c_str()));
      if (!done) {
        *error = "cannot write customer " + ref + " to " + folder + "ICUST.dbf";
        ok = false;
      }
    }
    if (!ok) break;
    ++row;
  }
  DBFClose(h);
  *written = row;
  return ok;
}
