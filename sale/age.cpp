// The legal-age rule.
#include "sale/age.h"

#include "platform/base/kvtbase.h"

namespace kvt::sale {

AgeDecision DecideAge(const std::string& dob, int legalAge, const std::string& today) {
  AgeDecision d;
  long born = dob.size() == 8 ? MakeDateYYYYMMDD(dob.c_str()) : 0;
  long now = MakeDateYYYYMMDD(today.c_str());
  d.validDate = born > 0 && now > 0 &&
                KVTValidDate(static_cast<int>(born / 10000), static_cast<int>(born / 100 % 100),
                             static_cast<int>(born % 100));
  long cutoff = (now / 10000 - legalAge) * 10000 + now % 10000;
  char text[16];
  KVTsprintf(text, sizeof text, "%02ld/%02ld/%04ld", cutoff / 100 % 100, cutoff % 100,
             cutoff / 10000);
  d.legalDateToPurchase = text;
  d.ofAge = d.validDate && born <= cutoff;
  return d;
}

}  // namespace kvt::sale
