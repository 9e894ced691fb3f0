// The price lookup service: the inventory module's price, discount and cost.
#include "pricing/pricing.h"

#include <cstdlib>
#include <cstring>
#include <string>

#include "platform/base/kvtbase.h"
#include "platform/sql/kvtsql.h"
#include "shell/globals.h"
#include "shell/hostreq.h"

namespace {

using SendDLLMessageFn = int (*)(const char*, char*, char*, int);
using GetPriceDiscountFn = double (*)(double, const char*);

const char* Text(const char* s) {
  return s ? s : "";
}

void CopyCut(char* dest, std::size_t size, const char* text, std::size_t len) {
  std::size_t n = len < size - 1 ? len : size - 1;
  std::memcpy(dest, text, n);
  dest[n] = '\0';
}

// The customer's pricing type, "" without a customer row.
std::string PricingTypeOf(const char* szCustRef) {
  if (!szCustRef || !*szCustRef) return "";  // no customer reference can match
  std::string sql =
      "SELECT PURCODES FROM KVTAR50 WHERE REFERENCE = '" + KVTSqlQuote(szCustRef) + "'";
  KVTSConnection conn(1, hApplication, 0);
  if (conn.ExecSQL(sql.c_str()) <= 0 || !conn.FetchNext()) return "";
  char type[51];
  const char* v = conn.ColumnVar(1);
  CopyCut(type, sizeof type, v, std::strlen(v));
  return type;
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
             char* szReturn, const char* szPricingCode) {
  szReturn[0] = '\0';
  if (!szItemRef || !*szItemRef) return 0;
  HMODULE inv = KVTHostModuleRequest(hParent, "KVTINV.DLL");
  if (!inv) return 0;
  auto send = GetProc<SendDLLMessageFn>(inv, "SendDLLMessage");

  std::string pricingType =
      szPricingCode && *szPricingCode ? std::string(szPricingCode) : PricingTypeOf(szCustRef);

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

const char* GetDefaultLocation() {
  static char location[31];
  location[0] = '\0';
  HVWCONN h = vwConnect(hApplication, 1, 0);
  if (!h) return location;
  if (KVTvwExecSQL(h, "SELECT CONFIG10 FROM KVTINV17") > 0) {
    vwSetFetchable(h);
    if (KVTvwFetchNext(h)) {
      const char* v = KVTvwColumn(h, 1);
      CopyCut(location, sizeof location, v, std::strlen(v));
    }
  }
  vwFreeStatement(h);
  vwDisconnect(h);
  return location;
}
