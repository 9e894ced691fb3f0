#include "sale/suspended.h"

#include "platform/sql/query.h"

namespace kvt::sale {

using kvt::sql::Date;
using kvt::sql::Text;

std::string YesNo(const std::string& flag) {
  return flag == "1" ? "Y" : "N";
}

bool ParkedSales(const TillShift& t, std::vector<ParkedSale>* sales, std::string* error) {
  sales->clear();
  kvt::sql::Result r = kvt::sql::Run(
      "SELECT INVOICENUM, INVCTOTAL, RECNO, INVOICELNK, SLSMAN FROM KVTPOS1 WHERE STATUS = 'S' "
      "AND STORE = ? AND INVDATE = ? AND TILLREF = ? AND SHIFT = ?",
      {Text(t.store), Date(t.date), Text(t.till), Text(t.shift)});
  if (!r.ok()) {
    *error = r.error();
    return false;
  }
  for (const kvt::sql::Row& row : r.rows())
    sales->push_back(
        {row["SLSMAN"], row["INVOICENUM"], row["INVCTOTAL"], row["RECNO"], row["INVOICELNK"]});
  return true;
}

bool ParkedItems(const std::string& link, std::vector<ParkedItem>* items, std::string* error) {
  items->clear();
  kvt::sql::Result r = kvt::sql::Run(
      "SELECT INVREF,DESCR,QTYORDERED,PRICE,ENTRYTOTAL,FOODSTAMPS,TAXABLE FROM KVTPOS2 WHERE "
      "INVOICELNK = ?",
      {Text(link)});
  if (!r.ok()) {
    *error = r.error();
    return false;
  }
  for (const kvt::sql::Row& row : r.rows())
    items->push_back({row["INVREF"], row["DESCR"], row["QTYORDERED"], row["PRICE"],
                      row["ENTRYTOTAL"], YesNo(row["FOODSTAMPS"]), YesNo(row["TAXABLE"])});
  return true;
}

bool SalesToVoid(const TillShift& t, std::vector<ParkedSale>* sales, std::string* error) {
  sales->clear();
  kvt::sql::Result r = kvt::sql::Run(
      "SELECT INVOICENUM, INVOICELNK FROM KVTPOS1 WHERE ( STATUS = 'S' AND TILLREF = ? AND SHIFT "
      "= ? AND STORE = ? AND INVDATE = ? )",
      {Text(t.till), Text(t.shift), Text(t.store), Date(t.date)});
  if (!r.ok()) {
    *error = r.error();
    return false;
  }
  for (const kvt::sql::Row& row : r.rows())
    sales->push_back({"", row["INVOICENUM"], "", "", row["INVOICELNK"]});
  return true;
}

bool CountUntransferred(const TillShift& t, std::string* count, std::string* error) {
  std::string sql =
      "SELECT COUNT(1) AS N FROM KVTPOS1 WHERE STORE = ? AND INVDATE = ? AND TILLREF = ? ";
  std::vector<kvt::sql::Value> values = {Text(t.store), Date(t.date), Text(t.till)};
  if (!t.shift.empty()) {
    sql += " AND SHIFT = ? ";
    values.push_back(Text(t.shift));
  }
  sql += "AND (TRANSNUM = '' OR TRANSNUM IS NULL)";
  kvt::sql::Result r = kvt::sql::Run(sql, values);
  if (!r.ok()) {
    *error = r.error();
    return false;
  }
  *count = r.rows().empty() ? "0" : r.first()["N"];
  return true;
}

std::string SlashedDate(const std::string& date) {
  if (date.size() != 8 || date.find_first_not_of("0123456789") != std::string::npos) return date;
  return date.substr(0, 2) + "/" + date.substr(2, 2) + "/" + date.substr(4);
}

}  // namespace kvt::sale
