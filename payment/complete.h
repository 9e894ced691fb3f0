// The decisions of completing a paid sale that do not need the screen: what
// kind of sale it is saved as, whether the drawer opens, whether the invoice
// prints, and the card number as it is finally kept.
#pragma once

#include <string>
#include <utility>
#include <vector>

namespace kvt::payment {

// The transaction type a completed sale is saved with: a payment on account
// "P" ("S" when a discount was given), check cashing "C"; otherwise by the
// last payment method: "4" "A", "6" and "B" "H", anything else "S".
std::string CompletedSaleType(bool payOnAccount, const char* discount, bool cashCheck,
                              const char* pymtMethod);

// Whether the cash drawer opens for a completed sale: never for a void; not
// when the last form was a charge ("5", "6") and charge sales keep it shut
// (`chargeSales` "F"), nor when it was a card ("3") and card sales keep it
// shut (`cardSales` "F").
bool OpensDrawer(bool isVoid, char lastForm, const char* chargeSales, const char* cardSales);

// Whether the invoice prints beside the receipts: receipts do not already
// go to the invoice printer (`recToInvPtr` not "T") and the sale has a
// charge or a charge return (their texts not empty).
bool PrintsInvoice(const char* recToInvPtr, const char* chargeAmt, const char* chargeRet);

// Whether the customer signs for the sale: the whole store asks for it
// (KVTPOS10's CFGSIGN "T"), or else this customer (KVTAR51's CFGSIGN "T").
// False with the database's message in `error` when a look-up failed.
bool SignatureWanted(const std::string& custRef, bool* wanted, std::string* error);

// One row of the payment panel's tax detail: "<description> Total : " and
// the amount in "%.2f".
struct TaxDetailRow {
  std::string label;
  std::string amount;
};
// The sale's tax rows (code, amount text; a blank amount counts 0) summed
// per code, one row for each description the code has in the tax table
// (code, description), by code then description; a code the table lacks
// is left out.
using CodeTexts = std::vector<std::pair<std::string, std::string>>;
std::vector<TaxDetailRow> TaxDetail(const CodeTexts& taxRows, const CodeTexts& descriptions);

// The card number as kept once the receipts are printed: every character
// "*".
std::string HiddenCardNumber(const std::string& number);

}  // namespace kvt::payment
