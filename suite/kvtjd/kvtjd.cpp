// The financing and card module stand-in: location questions and approved
// transactions from a settings file.
#include "suite/kvtjd/kvtjd.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <string>

#include "platform/win/profile.h"

namespace {

const char kIni[] = ".\\KVTJD.ini";

std::string Setting(const char* section, const char* key) {
  return kvt::ProfileString(kIni, section, key);
}

bool Listed(const char* section, const std::string& location) {
  std::stringstream in(Setting(section, "Locations"));
  std::string entry;
  while (std::getline(in, entry, ',')) {
    std::size_t b = entry.find_first_not_of(' '), e = entry.find_last_not_of(' ');
    if (b == std::string::npos) continue;
    entry = entry.substr(b, e - b + 1);
    if (entry == "*" || entry == location) return true;
  }
  return false;
}

std::string Money(double v) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "%.2f", std::round(v * 100) / 100 + 0.0);
  return buf;
}

// A card number as a slip shows it: the last four characters only.
std::string Masked(const std::string& number) {
  if (number.size() <= 4) return number;
  return std::string(number.size() - 4, '*') + number.substr(number.size() - 4);
}

int Fail(KVTEventObject* object, const std::string& message) {
  KVTSetEventText(object->ErrorString, message);
  return 0;
}

// One approved transaction: the answer items, each followed by a tab.
int Transaction(const std::string& name, KVTEventObject* object) {
  const bool card = name.rfind("DoBankCard", 0) == 0;
  const bool payment = name == "DoFarmPlanPayment";
  const bool refund = name == "DoBankCardReturn" || name == "DoFarmPlanReturn";
  const char* section = card ? "Bank Cards" : "Farm Plan";
  if (!Listed(section, KVTEventItem(object->Param1, "01")))
    return Fail(object, std::string("This location does not accept ") +
                            (card ? "bank cards." : "Farm Plan."));
  double amount = std::atof(KVTEventItem(object->Param1, "03").c_str()) -
                  std::atof(KVTEventItem(object->Param1, "04").c_str());
  if (payment) amount = std::atof(Setting(section, "PaymentAmount").c_str());
  amount = std::fabs(amount);
  if (std::round(amount * 100) == 0) return Fail(object, "There is nothing to pay.");
  if (refund) amount = -amount;
  const std::string invoice = KVTEventItem(object->Param1, "00");
  const std::string auth =
      "T" + std::string(invoice.size() < 6 ? 6 - invoice.size() : 0, '0') + invoice;
  std::string answer;
  auto put = [&answer](const char* key, const std::string& value) {
    answer += std::string(key) + "=" + value + "\t";
  };
  put("S1", "Approved");
  put("S2", "Approved: authorization " + auth);
  put("00", Money(amount));
  put("01", Setting(section, "Customer"));
  put("02", Setting(section, "Name"));
  if (card) {
    put("03", Masked(Setting(section, "CardNumber")));
    put("04", Setting(section, "ExpDate"));
    put("CT", Setting(section, "CardType"));
  } else {
    const std::pair<const char*, const char*> keys[] = {
        {"03", "Account"}, {"04", "DBC"},   {"05", "DBCDesc"}, {"06", "CPN"},
        {"07", "CPNDesc"}, {"11", "Terms"}, {"12", "TandC"},   {"13", "PO"}};
    for (const auto& [key, setting] : keys) put(key, Setting(section, setting));
    put("08", invoice);
  }
  put("09", auth);
  put("10", "JD" + invoice);
  KVTSetEventText(object->Param2, answer);
  return 1;
}

}  // namespace

int KVTInterface_HandleEvent(const char* event, int version, KVTEventObject* object) {
  if (!object) return 0;
  if (version != KVT_EVENT_VERSION)
    return Fail(object, "This version is incompatible with the installed module.");
  std::string name = event ? event : "";
  if (name == "KVTInitializeEvent" || name == "KVTDestroyEvent") return 1;
  if (name == "DoCheckLocationAcceptsFarmPlan" || name == "DoCheckLocationAcceptsBankCard") {
    const char* section = name == "DoCheckLocationAcceptsFarmPlan" ? "Farm Plan" : "Bank Cards";
    object->iParam1 = Listed(section, KVTEventItem(object->Param1, "01")) ? 1 : 0;
    return 1;
  }
  if (name == "DoBankCardSale" || name == "DoBankCardReturn" || name == "DoFarmPlanSale" ||
      name == "DoFarmPlanReturn" || name == "DoFarmPlanPayment")
    return Transaction(name, object);
  return Fail(object, "The financing module does not offer " + name + ".");
}
