// Card expiry, credit limit, balance by age and the swiped customer card.
#include "payment/payrules.h"

#include <cstdio>
#include <cstdlib>

#include "platform/base/kvtbase.h"

namespace kvt::payment {

const char* const kAgeColumns[14] = {"CURRENT", "MONTH1",  "MONTH2",  "MONTH3",  "MONTH4",
                                     "MONTH5",  "MONTH6",  "MONTH7",  "MONTH8",  "MONTH9",
                                     "MONTH10", "MONTH11", "MONTH12", "OVERYEAR"};

ExpiryCheck CheckExpiry(const std::string& mmyy, const std::string& today) {
  ExpiryCheck out;
  const char* invalid = "Invalid date.\n\nChoose a different form of payment.";
  const char* expired = "Card is expired.\n\nChoose a different form of payment.";
  const int month = std::atoi(mmyy.substr(0, 2).c_str());
  const int nowMonth = std::atoi(today.substr(0, 2).c_str());
  const int nowYear = std::atoi(today.substr(4, 4).c_str());
  const int year = std::atoi((today.substr(4, 2) + mmyy.substr(2, 2)).c_str());
  if (month < 1 || month > 12 || year > nowYear + 10) {
    out.message = invalid;
    return out;
  }
  if (year < nowYear || (year == nowYear && month < nowMonth)) {
    out.message = expired;
    return out;
  }
  int last = 31;
  if (month == 2)
    last = year % 4 == 0 ? 29 : 28;
  else if (month == 4 || month == 6 || month == 9 || month == 11)
    last = 30;
  char buf[16];
  std::snprintf(buf, sizeof buf, "%02d%02d%04d", month, last, year);
  out.ok = true;
  out.date = buf;
  return out;
}

double AgedBalance::Balance() const {
  double sum = 0;
  for (double a : age) sum += a;
  return KVTRound(sum, 2);
}

double AgedBalance::PastDue() const {
  double sum = 0;
  for (int i = 1; i < 14; ++i) sum += age[i];
  return KVTRound(sum, 2);
}

bool CreditLimitExceeded(const std::string& limitText, double balance, double amount) {
  const std::size_t first = limitText.find_first_not_of(" \t\r\n");
  if (first == std::string::npos) return false;
  const std::string limit = limitText.substr(first);
  return KVTRound(balance + KVTRound(amount, 2), 2) > KVTRound(std::atof(limit.c_str()), 2);
}

std::vector<std::string> BalanceNoteLines(const AgedBalance& b) {
  double over120 = 0;
  for (int i = 4; i < 14; ++i) over120 += b.age[i];
  const double days[4] = {b.age[1], b.age[2], b.age[3], KVTRound(over120, 2)};
  const char* labels[4] = {"30 Days: ", "60 Days: ", "90 Days: ", "120+ Days: "};
  const double past = KVTRound(days[0] + days[1] + days[2] + days[3], 2);
  std::vector<std::string> out;
  if (past <= 0) return out;
  out.push_back("Past Due Balance: " + KVTSRound(past, 2));
  out.push_back("-------------------------------------");
  for (int i = 0; i < 4; ++i)
    if (KVTRound(days[i], 2) != 0) out.push_back(labels[i] + KVTSRound(days[i], 2));
  return out;
}

std::string SwipedCustomerRef(const std::string& text) {
  if (text.empty() || text[0] != '%') return text;
  const std::size_t caret = text.find('^');
  if (caret == std::string::npos) return text;
  std::string ref = text.substr(0, caret);
  if (ref.size() > 6) ref.erase(0, ref.size() - 6);
  return ref;
}

}  // namespace kvt::payment
