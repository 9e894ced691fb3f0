// The rules of keying one item.
#include "sale/entry.h"

#include <cstdlib>

namespace kvt::sale {

bool IsInventoryReference(const std::string& code, const std::string& maxDeptCharacters,
                          const std::string& useInventory) {
  return useInventory == "T" &&
         static_cast<long>(code.size()) > std::atol(maxDeptCharacters.c_str());
}

double TagAlongPrice(const std::string& rate, double referencePrice) {
  double value = std::atof(rate.c_str());
  if (!rate.empty() && rate.back() == '%') return 0.01 * referencePrice * value;
  return value;
}

namespace {
bool On(const std::string& flag) {
  return flag == "T" || flag == "1";
}
}  // namespace

PromptFlags ReadPromptFlags(const std::string& descEditable, const std::string& promptQty,
                            const std::string& promptPrice, const std::string& promptAmount,
                            const std::string& zeroUnits, const std::string& zeroPriceChanges,
                            const std::string& priceSign, const std::string& tillCodeSold) {
  PromptFlags f;
  f.descriptionEditable = On(descEditable);
  f.promptOnQty = On(promptQty);
  f.promptOnPrice = On(promptPrice);
  f.promptOnAmount = On(promptAmount);
  f.allowZeroUnits = On(zeroUnits);
  f.allowOnlyZeroPriceChanges = On(zeroPriceChanges);
  f.negativePrice = priceSign == "N";
  f.tillCodeSold = tillCodeSold == "T";
  return f;
}

std::string AgePrompt(const std::string& tobacco, const std::string& alcohol, const char* on) {
  if (tobacco == on) return "T";
  if (alcohol == on) return "A";
  return "";
}

std::string ReturnedQuantity(const std::string& quantity) {
  std::size_t start = quantity.find_first_not_of(' ');
  if (start == std::string::npos) return quantity;
  if (quantity[start] == '-') return quantity.substr(start + 1);
  if (std::atof(quantity.c_str()) == 0) return quantity;
  return "-" + quantity.substr(start);
}

bool PromotionHolds(long begin, long end, long today) {
  return begin <= today && today <= end;
}

}  // namespace kvt::sale
