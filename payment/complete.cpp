#include "payment/complete.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <set>

#include "platform/sql/query.h"

namespace kvt::payment {

namespace {
bool Is(const char* text, const char* value) {
  return text && std::strcmp(text, value) == 0;
}
}  // namespace

std::string CompletedSaleType(bool payOnAccount, const char* discount, bool cashCheck,
                              const char* pymtMethod) {
  if (payOnAccount) return std::atof(discount ? discount : "") != 0 ? "S" : "P";
  if (cashCheck) return "C";
  if (Is(pymtMethod, "4")) return "A";
  if (Is(pymtMethod, "6") || Is(pymtMethod, "B")) return "H";
  return "S";
}

bool OpensDrawer(bool isVoid, char lastForm, const char* chargeSales, const char* cardSales) {
  if (isVoid) return false;
  if (Is(chargeSales, "F") && (lastForm == '5' || lastForm == '6')) return false;
  if (Is(cardSales, "F") && lastForm == '3') return false;
  return true;
}

bool PrintsInvoice(const char* recToInvPtr, const char* chargeAmt, const char* chargeRet) {
  if (Is(recToInvPtr, "T")) return false;
  return (chargeAmt && *chargeAmt) || (chargeRet && *chargeRet);
}

bool SignatureWanted(const std::string& custRef, bool* wanted, std::string* error) {
  *wanted = false;
  // Both switches in one round trip: the customer's is only looked at when
  // the store's is not on.
  kvt::sql::Query storeQuery("SELECT CFGSIGN FROM KVTPOS10");
  kvt::sql::Query customerQuery("SELECT CFGSIGN FROM KVTAR51 WHERE REFERENCE = ?");
  kvt::sql::Pipeline pipe;
  const std::size_t storeAt = pipe.Add(storeQuery, {});
  const std::size_t customerAt = pipe.Add(customerQuery, {kvt::sql::Text(custRef)});
  pipe.Send();
  for (std::size_t at : {storeAt, customerAt}) {
    kvt::sql::Result r = pipe.Answer(at);
    if (!r.ok()) {
      *error = r.error();
      return false;
    }
    if (r.found() == kvt::sql::Found::Yes && r.first()["CFGSIGN"] == "T") {
      *wanted = true;
      return true;
    }
  }
  return true;
}

std::vector<TaxDetailRow> TaxDetail(const CodeTexts& taxRows, const CodeTexts& descriptions) {
  std::map<std::string, double> sums;
  for (const auto& [code, amount] : taxRows) sums[code] += std::atof(amount.c_str());
  std::set<std::pair<std::string, std::string>> named(descriptions.begin(), descriptions.end());
  std::vector<TaxDetailRow> rows;
  for (const auto& [code, description] : named) {
    auto sum = sums.find(code);
    if (sum == sums.end()) continue;
    char amount[64];
    std::snprintf(amount, sizeof amount, "%.2f", sum->second);
    rows.push_back({description + " Total : ", amount});
  }
  return rows;
}

std::string HiddenCardNumber(const std::string& number) {
  return std::string(number.size(), '*');
}

}  // namespace kvt::payment
