// The rules of keying one item, as values: what kind a keyed code is, the
// price of a tag-along, the item's prompt flags, a returned quantity, a
// promotion's window. Nothing here knows of screens or the database.
#pragma once

#include <string>

namespace kvt::sale {

// A code longer than `maxDeptCharacters` (read as a number) is an inventory
// reference when the store uses inventory ("T"); every other code is a till
// code of a sales category.
bool IsInventoryReference(const std::string& code, const std::string& maxDeptCharacters,
                          const std::string& useInventory);

// The price of a tag-along: `rate` per cent of `referencePrice` when the rate
// ends in "%", else the rate itself.
double TagAlongPrice(const std::string& rate, double referencePrice);

// What the cashier is asked to key for an item, from its flag texts: the
// first six are on for "T" or "1"; the price is negative for sign "N"; a
// till code was sold for "T".
struct PromptFlags {
  bool descriptionEditable = false;
  bool promptOnQty = false;
  bool promptOnPrice = false;
  bool promptOnAmount = false;
  bool allowZeroUnits = false;
  bool allowOnlyZeroPriceChanges = false;
  bool negativePrice = false;
  bool tillCodeSold = false;
};
PromptFlags ReadPromptFlags(const std::string& descEditable, const std::string& promptQty,
                            const std::string& promptPrice, const std::string& promptAmount,
                            const std::string& zeroUnits, const std::string& zeroPriceChanges,
                            const std::string& priceSign, const std::string& tillCodeSold);

// The age check an item asks for: "T" tobacco, "A" alcohol, "" none. The
// inventory price record marks with "T", a sales category with "1".
std::string AgePrompt(const std::string& tobacco, const std::string& alcohol, const char* on);

// A returned line's quantity: a positive one gets a leading "-", a negative
// one loses it; nothing changes on 0.
std::string ReturnedQuantity(const std::string& quantity);

// A promotion holds on `today` when it lies between its first and last day,
// both included (YYYYMMDD numbers).
bool PromotionHolds(long begin, long end, long today);

}  // namespace kvt::sale
