// The price lookup service: an item's price, discount and cost asked of the
// inventory module ("KVTINV.DLL", reached through the host's module request),
// its answer split, a net amount from a price and a discount, and the
// inventory default location. No function here shows a message.
#pragma once

#include <string>

#include "platform/win/window.h"
#include "pricing/prices.h"

// The request and reply buffers of "GETPRICING"; texts start at offset 50.
inline constexpr int KVT_PRICING_BUFFER = 400;
inline constexpr int KVT_PRICING_TEXT_AT = 50;
// GetPrice's return buffer: the reply's text, at most 349 characters.
inline constexpr int KVT_PRICING_RETURN_LEN = KVT_PRICING_BUFFER - KVT_PRICING_TEXT_AT;
// The price, discount and cost texts that LoadPriceDiscountCost fills.
inline constexpr int KVT_PRICE_TEXT_LEN = 50;

// Asks the inventory module for the price, discount and cost of `szItemRef`
// at `szLocation` for `szQtyOrdered` units. The pricing type is
// `szPricingCode` when it is not empty, else the customer's PURCODES
// (KVTAR50). Flags are sent as "T"/"F"; a null cost is sent empty.
// 1: `szReturn` (KVT_PRICING_RETURN_LEN bytes) holds the answer
// "price,discount,cost[,...]". 0: `szReturn` is empty (no item reference, no
// inventory module or no SendDLLMessage in it, or the module marked the reply
// failed: 0xFF in its first byte together with a result of 0), or the
// customer's pricing type could not be read: then `error`, when given, says
// why (it is emptied otherwise).
int GetPrice(HINSTANCE hApp, HWND hParent, int iRedoPrices, int iUseLevel, int iUseNet,
             const char* szItemRef, const char* szLocation, const char* szQtyOrdered,
             const char* szCost, const char* szPrice, const char* szDiscount, const char* szCustRef,
             char* szReturn, const char* szPricingCode, std::string* error = nullptr);

// Splits an answer of GetPrice at its commas into price, discount and cost
// (each KVT_PRICE_TEXT_LEN bytes, cut to fit); missing pieces are empty and
// fields after the cost are ignored. `szCost` may be null.
void LoadPriceDiscountCost(const char* szBuffer, HWND hParent, char* szPrice, char* szDiscount,
                           char* szCost);

// The net extended amount: (price - the inventory module's GetPriceDiscount
// of one unit) x quantity, with one trailing "*" dropped from the price and
// the discount texts. 0 when the module or its GetPriceDiscount is missing.
double CalculateDiscount(HWND hParent, double dQtyOrdered, const char* szPrice,
                         const char* szDiscount);

// CONFIG10 of the inventory configuration (KVTINV17), trimmed.
kvt::pricing::Looked<std::string> DefaultLocation();
// The same up to 30 characters, "" without a row or when it could not be
// read. The text lives in a module-wide buffer that the next call overwrites.
const char* GetDefaultLocation();

namespace kvt::pricing {

// The inventory module reached through the host of `parent` (GetPrice,
// LoadPriceDiscountCost, CalculateDiscount).
class ModuleInventory : public InventoryModule {
 public:
  explicit ModuleInventory(HWND parent) : parent_(parent) {}
  Looked<ModuleAnswer> Ask(const PriceQuestion& question) override;
  double NetAmount(double qty, const std::string& price, const std::string& discount) override;

 private:
  HWND parent_;
};

}  // namespace kvt::pricing
