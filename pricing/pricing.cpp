// The price lookup service: the inventory module's price, discount and cost.
#include "pricing/pricing.h"

#include <cstdlib>
#include <cstring>
#include <string>

#include "platform/base/kvtbase.h"
#include "platform/base/textwidth.h"
#include "shell/globals.h"
#include "shell/hostreq.h"

namespace {

using SendDLLMessageFn = int (*)(const char*, char*, char*, int);
using GetPriceDiscountFn = double (*)(double, const char*);

const char* Text(const char* s) {
  return s ? s : "";
}

void CopyCut(char* dest, std::size_t size, const char* text, std::size_t len) {
  KVTCopyText(dest, size, std::string_view(text, len));
}

// The customer's pricing type (up to 50 characters), "" without a customer row.
kvt::sql::Result PricingTypeOf(const char* szCustRef, std::string* type) {
  type->clear();
  if (!szCustRef || !*szCustRef) return {};  // no customer reference can match
  kvt::sql::Result r = kvt::sql::Run("SELECT PURCODES FROM KVTAR50 WHERE REFERENCE = ?",
                                     {kvt::sql::Text(szCustRef)});
  if (r.found() == kvt::sql::Found::Yes) *type = KVTCut(r.first()["PURCODES"], 50);
  return r;
}

// The text without one trailing "*".
std::string Unmarked(const char* s) {
  std::string t = Text(s);
  if (!t.empty() && t.back() == '*') t.pop_back();
  return t;
}

}  // namespace

int GetPrice(HINSTANCE, HWND hParent, int iRedoPrices, int iUseLevel, int iUseNet,
             const char* szItemRef, const char* szLocation, const char* szQtyOrdered,
             const char* szCost, const char* szPrice, const char* szDiscount, const char* szCustRef,
             char* szReturn, const char* szPricingCode, std::string* error) {
  szReturn[0] = '\0';
  if (error) error->clear();
  if (!szItemRef || !*szItemRef) return 0;
  HMODULE inv = KVTHostModuleRequest(hParent, "KVTINV.DLL");
  if (!inv) return 0;
  auto send = GetProc<SendDLLMessageFn>(inv, "SendDLLMessage");

  std::string pricingType = szPricingCode ? szPricingCode : "";
  if (pricingType.empty()) {
    kvt::sql::Result r = PricingTypeOf(szCustRef, &pricingType);
    if (!r.ok()) {
      if (error)
        *error = "The pricing type of customer " + std::string(szCustRef) +
                 " could not be read.\n" + r.error();
      return 0;
    }
  }

  char request[KVT_PRICING_BUFFER];
  char reply[KVT_PRICING_BUFFER];
  std::memset(request, ' ', 206);
  request[206] = '\0';
  std::memset(reply, ' ', 205);
  reply[205] = '\0';
  KVTsprintf(request + KVT_PRICING_TEXT_AT, KVT_PRICING_BUFFER - KVT_PRICING_TEXT_AT,
             "%s,%s,%s,%s,%s,%s,%s,%s,%s,%s", szItemRef, Text(szLocation), Text(szQtyOrdered),
             pricingType.c_str(), iRedoPrices ? "T" : "F", iUseLevel ? "T" : "F",
             iUseNet ? "T" : "F", Text(szCost), Text(szPrice), Text(szDiscount));

  if (!send) return 0;
  int result = send("GETPRICING", request, reply, KVT_PRICING_BUFFER);
  if (result == 0 && static_cast<unsigned char>(reply[0]) == 0xFF) return 0;
  const char* answer = reply + KVT_PRICING_TEXT_AT;
  CopyCut(szReturn, KVT_PRICING_RETURN_LEN, answer,
          strnlen(answer, KVT_PRICING_BUFFER - KVT_PRICING_TEXT_AT));
  return 1;
}

void LoadPriceDiscountCost(const char* szBuffer, HWND, char* szPrice, char* szDiscount,
                           char* szCost) {
  std::string all = Text(szBuffer);
  std::string piece[3];
  std::size_t start = 0;
  for (int i = 0; i < 3 && start != std::string::npos; ++i) {
    std::size_t comma = all.find(',', start);
    piece[i] = all.substr(start, comma == std::string::npos ? std::string::npos : comma - start);
    start = comma == std::string::npos ? comma : comma + 1;
  }
  CopyCut(szPrice, KVT_PRICE_TEXT_LEN, piece[0].c_str(), piece[0].size());
  CopyCut(szDiscount, KVT_PRICE_TEXT_LEN, piece[1].c_str(), piece[1].size());
  if (szCost) CopyCut(szCost, KVT_PRICE_TEXT_LEN, piece[2].c_str(), piece[2].size());
}

double CalculateDiscount(HWND hParent, double dQtyOrdered, const char* szPrice,
                         const char* szDiscount) {
  std::string price = Unmarked(szPrice);
  std::string discount = Unmarked(szDiscount);
  double dPrice = std::atof(price.c_str());
  HMODULE inv = KVTHostModuleRequest(hParent, "KVTINV.DLL");
  if (!inv) return 0;
  auto perUnit = GetProc<GetPriceDiscountFn>(inv, "GetPriceDiscount");
  if (!perUnit) return 0;
  return (dPrice - perUnit(dPrice, discount.c_str())) * dQtyOrdered;
}

kvt::pricing::Looked<std::string> DefaultLocation() {
  kvt::sql::Result r = kvt::sql::Run("SELECT CONFIG10 FROM KVTINV17");
  if (!r.ok())
    return kvt::pricing::Fail<std::string>("The inventory's default location", r.error());
  if (r.found() == kvt::sql::Found::No) return {};
  return kvt::pricing::Answer(kvt::pricing::Trimmed(r.first()["CONFIG10"]));
}

const char* GetDefaultLocation() {
  static char location[31];
  std::string found = DefaultLocation().value;
  CopyCut(location, sizeof location, found.c_str(), found.size());
  return location;
}

namespace kvt::pricing {

Looked<ModuleAnswer> ModuleInventory::Ask(const PriceQuestion& q) {
  char answer[KVT_PRICING_RETURN_LEN];
  std::string error;
  if (!GetPrice(hApplication, parent_, q.loadAll ? 1 : 0, 0, 0, q.item.c_str(), q.location.c_str(),
                q.qty.c_str(), "", "", "", q.customer.c_str(), answer, q.pricingCode.c_str(),
                &error))
    return {error.empty() ? Found::No : Found::Failed, {}, error};
  char price[KVT_PRICE_TEXT_LEN], discount[KVT_PRICE_TEXT_LEN], cost[KVT_PRICE_TEXT_LEN];
  LoadPriceDiscountCost(answer, parent_, price, discount, cost);
  return Answer(ModuleAnswer{price, discount, cost});
}

double ModuleInventory::NetAmount(double qty, const std::string& price,
                                  const std::string& discount) {
  return CalculateDiscount(parent_, qty, price.c_str(), discount.c_str());
}

}  // namespace kvt::pricing
