// The named search configurations of the simple search window, in one table.
#include <strings.h>

#include <cctype>

#include "platform/forms/search.h"

namespace {

// Every statement selects the record number last (KVTSearchResult::Recno).
const std::vector<KVTSearchConfig> kConfigs = {
    {"CUSTREFSRCH", "CUSTREFFMT", "Customers",
     "SELECT REFERENCE,NAME,CITY,STATE,STR(RECNO) FROM KVTAR50", "ISACTIVE = 0", "REFERENCE",
     "REFERENCE,Reference,12,0,NAME,Name,30,0,CITY,City,20,0,STATE,State,5,0"},
    {"CUSTNAMESRCH", "CUSTNAMEFMT", "Customers by Name",
     "SELECT NAME,REFERENCE,CITY,STATE,STR(RECNO) FROM KVTAR50", "ISACTIVE = 0", "NAME, RECNO",
     "NAME,Name,30,0,REFERENCE,Reference,12,0,CITY,City,20,0,STATE,State,5,0"},
    {"CUSTPHONESRCH", "CUSTPHONEFMT", "Customers by Phone",
     "SELECT KVTAR57.TELEPHONE,KVTAR50.NAME,KVTAR50.REFERENCE,STR(KVTAR50.RECNO) FROM KVTAR50 "
     "INNER JOIN KVTAR57 ON KVTAR50.RECNO = NUMVAL(KVTAR57.CUSTLINK)",
     "KVTAR50.ISACTIVE = 0", "KVTAR57.TELEPHONE",
     "TELEPHONE,Phone,15,0,NAME,Name,30,0,REFERENCE,Reference,12,0"},
    {"CCTYPESRCH", "CCTYPEFMT", "Credit Card Types",
     "SELECT CODE,CARDTYPE,LOCATION,STR(RECNO) FROM KVTFL25", "", "CODE",
     "CODE,Code,10,0,CARDTYPE,Card Type,20,0,LOCATION,Location,10,0"},
    {"TAXSRCH", "TAXFMT", "Tax Codes", "SELECT TAXCODE,DESCRIPT,TAXRATE,STR(RECNO) FROM KVTAR19",
     "", "TAXCODE", "TAXCODE,Tax Code,10,0,DESCRIPT,Description,30,0,TAXRATE,Rate,8,1"},
    {"POS1SRCH", "POS1FMT", "Find Sale",
     "SELECT INVOICENUM,INVDATE,TILLREF,CUSTREF,CUSTNAME,INVCTOTAL,STR(RECNO) FROM KVTPOS1", "",
     "INVDATE DESC, INVOICENUM DESC",
     "INVOICENUM,Sale,10,0,INVDATE,Date,10,0,TILLREF,Till,6,0,CUSTREF,Customer,10,0,"
     "CUSTNAME,Name,25,0,INVCTOTAL,Total,10,1"},
    {"ARBATCHSRCH", "ARBATCHFMT", "Batches", "SELECT REFERENCE,STR(RECNO) FROM KVTFL23", "",
     "REFERENCE", "REFERENCE,Batch,15,0"},
    {"STOREREFSRCH", "STOREREFFMT", "Stores", "SELECT REFERENCE,LOCATION,STR(RECNO) FROM KVTCOM13",
     "", "REFERENCE", "REFERENCE,Store,10,0,LOCATION,Location,10,0"},
};

// " WHERE (LOCATION = 'A')" -> "(LOCATION = 'A')"
std::string Condition(const std::string& filter) {
  std::size_t b = filter.find_first_not_of(" \t");
  if (b == std::string::npos) return "";
  std::string s = filter.substr(b);
  if (s.size() > 5 && strncasecmp(s.c_str(), "WHERE", 5) == 0 &&
      !std::isalnum(static_cast<unsigned char>(s[5])))
    s = s.substr(5);
  b = s.find_first_not_of(" \t");
  return b == std::string::npos ? "" : s.substr(b, s.find_last_not_of(" \t") - b + 1);
}

}  // namespace

const std::vector<KVTSearchConfig>& SearchConfigs() {
  return kConfigs;
}

const KVTSearchConfig* FindSearchConfig(const std::string& search) {
  for (const KVTSearchConfig& c : kConfigs)
    if (strcasecmp(c.search, search.c_str()) == 0) return &c;
  return nullptr;
}

std::string SimpleSearchSQL(const KVTSearchConfig& config, const std::string& filter,
                            const std::string& order) {
  std::string own = config.where;
  std::string theirs = Condition(filter);
  std::string sql = config.select;
  if (!own.empty() && !theirs.empty())
    sql += " WHERE (" + own + ") AND (" + theirs + ")";
  else if (!own.empty() || !theirs.empty())
    sql += " WHERE " + own + theirs;
  std::string by = Condition(order).empty() ? config.order : order;
  if (!by.empty()) sql += " ORDER BY " + by;
  return sql;
}

int KVTSimpleSearch(HWND parent, const char* search, const char* format, KVTSearchResult* result,
                    const char* filter, const char* order, const char* title, const char* start) {
  const KVTSearchConfig* config = FindSearchConfig(search ? search : "");
  if (!config || (format && *format && strcasecmp(format, config->format) != 0)) {
    std::string text = std::string("Unknown search configuration ") + (search ? search : "") +
                       (format && *format ? "/" + std::string(format) : "") + ".";
    MessageBox(parent, text.c_str(), "Error", MB_OK | MB_ICONSTOP);
    return 0;
  }
  std::string sql = SimpleSearchSQL(*config, filter ? filter : "", order ? order : "");
  return SearchWin(parent, 0, result, config->columns, sql.c_str(),
                   title && *title ? title : config->title, start);
}
