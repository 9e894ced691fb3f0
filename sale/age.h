// The legal-age rule for alcohol and tobacco, apart from any screen.
#pragma once

#include <string>

namespace kvt::sale {

struct AgeDecision {
  bool validDate = false;  // the date of birth is a real MMDDYYYY day
  bool ofAge = false;
  // The last birth date that may buy today, "MM/DD/YYYY".
  std::string legalDateToPurchase;
};

// The cutoff is today's month and day, `legalAge` years back, compared by
// digits: a customer born on the cutoff is of age, one born a day later is
// not, and a 29 February birthday on 28 February of a common year is not yet.
// `dob` and `today` are "MMDDYYYY".
AgeDecision DecideAge(const std::string& dob, int legalAge, const std::string& today);

}  // namespace kvt::sale
