#include "payment/complete.h"

#include <cstdlib>
#include <cstring>

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
  kvt::sql::Result store = kvt::sql::Run("SELECT CFGSIGN FROM KVTPOS10");
  if (!store.ok()) {
    *error = store.error();
    return false;
  }
  if (store.found() == kvt::sql::Found::Yes && store.first()["CFGSIGN"] == "T") {
    *wanted = true;
    return true;
  }
  kvt::sql::Result customer =
      kvt::sql::Run("SELECT CFGSIGN FROM KVTAR51 WHERE REFERENCE = ?", {kvt::sql::Text(custRef)});
  if (!customer.ok()) {
    *error = customer.error();
    return false;
  }
  *wanted = customer.found() == kvt::sql::Found::Yes && customer.first()["CFGSIGN"] == "T";
  return true;
}

std::string HiddenCardNumber(const std::string& number) {
  return std::string(number.size(), '*');
}

}  // namespace kvt::payment
