// The financing and card module's tenders: events, request texts, answers,
// card codes.
#include "payment/financing.h"

#include <cstdlib>
#include <sstream>

#include "payment/fieldtext.h"
#include "platform/sql/query.h"

namespace kvt::payment {

std::string ModuleEvent(char form, const ModuleState& s) {
  if (!s.installed) return "";
  switch (form) {
    case '3':
      return s.cardsAccepted ? "DoBankCardSale" : "";
    case '9':
      return s.cardsAccepted ? "DoBankCardReturn" : "";
    case 'A':
      return s.farmPlanAccepted ? "DoFarmPlanSale" : "";
    case 'B':
      return s.farmPlanAccepted ? "DoFarmPlanReturn" : "";
    case '1':
    case '2': {
      const std::string& paid = form == '1' ? s.fpCashPay : s.fpCheckPay;
      return s.payOnAcct && s.farmPlanPayment && paid.empty() ? "DoFarmPlanPayment" : "";
    }
    default:
      return "";
  }
}

std::string ModuleClass(const std::string& event) {
  return event == "DoFarmPlanPayment" ? "Crestpay Farm Plan Payment" : "Crestpay Farm Plan Return";
}

std::string RequestText(const ModuleRequest& r) {
  std::string t = "00=" + r.invoiceNum + "\t01=" + r.location + "\t02=" + r.department +
                  "\t03=" + r.total + "\t04=" + r.paidSoFar + "\t";
  if (r.cardOnAccount) t += "05=Y\t";
  return t;
}

std::string LinesText(const std::vector<FinancedLine>& lines, const std::string& taxTotal) {
  std::string t;
  auto group = [&t](const FinancedLine& l) {
    t += "01=" + l.description + "\t02=" + l.quantity + "\t03=" + l.price + "\t05=" + l.reference +
         "\t04=" + l.amount + "\t";
  };
  for (const FinancedLine& l : lines) group(l);
  if (std::atof(taxTotal.c_str()) != 0) group({"Tax", "0", "0", "", taxTotal});
  return t;
}

std::map<std::string, std::string> KVTParseTabDelim(const std::string& text) {
  std::map<std::string, std::string> items;
  std::stringstream in(text);
  std::string item;
  while (std::getline(in, item, '\t')) {
    const std::size_t eq = item.find('=');
    if (eq != std::string::npos) items[item.substr(0, eq)] = item.substr(eq + 1);
  }
  return items;
}

bool CardCode(const std::string& location, const std::string& cardType, std::string* code,
              std::string* error) {
  using kvt::sql::Text;
  const char* kFind[] = {
      "SELECT CODE FROM KVTFL25 WHERE LOCATION = ? AND CARDTYPE = ?",
      "SELECT CODE FROM KVTFL25 WHERE LOCATION = ? AND CARDTYPE IN (NULL,'')",
      "SELECT CODE FROM KVTFL25 WHERE LOCATION IN (NULL,'') AND CARDTYPE = ?",
      "SELECT CODE FROM KVTFL25 WHERE LOCATION IN (NULL,'') AND CARDTYPE IN (NULL,'')",
  };
  const std::vector<kvt::sql::Value> binds[] = {
      {Text(location), Text(cardType)}, {Text(location)}, {Text(cardType)}, {}};
  code->clear();
  for (int i = 0; i < 4; ++i) {
    kvt::sql::Result r = kvt::sql::Run(kFind[i], binds[i]);
    if (!r.ok()) {
      *error = r.error();
      return false;
    }
    if (r.found() == kvt::sql::Found::Yes) {
      *code = Trimmed(r.first()["CODE"]);
      return true;
    }
  }
  return true;
}

}  // namespace kvt::payment
