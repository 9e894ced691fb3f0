// The tenders the financing and card module (KVTJD.DLL) runs instead of the
// till: which forms go to it, the request texts the till sends, its answer
// read back, and the card code of the answered card type. Knows no screen.
#pragma once

#include <map>
#include <string>
#include <vector>

namespace kvt::payment {

// What the sale screen learnt when it opened, and the tender in hand.
struct ModuleState {
  bool installed = false;         // bCrestpayInstalled
  bool cardsAccepted = false;     // bCrestpayCreditCardsAccepted
  bool farmPlanAccepted = false;  // bFarmPlanAccepted
  bool payOnAcct = false;
  bool farmPlanPayment = false;  // the payment on account goes to a Farm Plan account
  std::string fpCashPay, fpCheckPay;
};

// The module's event for a tender of `form` ("DoBankCardSale", ...), or ""
// when the tender is keyed at the till.
std::string ModuleEvent(char form, const ModuleState& s);
// The interface class of the event: "Crestpay Farm Plan Payment" for the
// payment on account, "Crestpay Farm Plan Return" for the others.
std::string ModuleClass(const std::string& event);

// Param1 of a tender: sale number, location, department, total, paid so
// far, and for a card on a payment on account "05=Y"; each item followed by
// a tab.
struct ModuleRequest {
  std::string invoiceNum, location, department, total, paidSoFar;
  bool cardOnAccount = false;
};
std::string RequestText(const ModuleRequest& r);

// Param3 of a financing sale or return: one group per sale line, then a tax
// group when the tax total is not 0.
struct FinancedLine {
  std::string description, quantity, price, reference, amount;
};
std::string LinesText(const std::vector<FinancedLine>& lines, const std::string& taxTotal);

// "key=value<tab>..." as a map; an item without "=" is skipped, a later
// key replaces an earlier one.
std::map<std::string, std::string> KVTParseTabDelim(const std::string& text);

// The card code (KVTFL25) of `cardType` at `location`: the row of both, then
// the location's row for any type, then the type's row for every location,
// then the row for any location and type; trimmed, "" when none. False with
// the database's message when a look-up failed.
bool CardCode(const std::string& location, const std::string& cardType, std::string* code,
              std::string* error);

}  // namespace kvt::payment
