// Amounts as typed and as bound: a number bound to a statement
// (NormalizeNumber), cents keyed without a point (InsertDecimals), rounding
// and the SQL-Server STR of an amount.
#include <algorithm>
#include <cmath>
#include <cstring>

#include "fuzz/fuzz.h"
#include "payment/tenders.h"
#include "platform/base/kvtbase.h"
#include "platform/sql/dialect.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string text = FuzzText(data, size);
  const std::string cstr = text.substr(0, text.find('\0'));

  // A number that binds is read whole by the database and binds again as is.
  std::string bound;
  if (kvt::sql::NormalizeNumber(cstr.c_str(), &bound) && !bound.empty()) {
    char* end = nullptr;
    (void)std::strtod(bound.c_str(), &end);
    FUZZ_CHECK(end == bound.c_str() + bound.size());
    std::string again;
    FUZZ_CHECK(kvt::sql::NormalizeNumber(bound.c_str(), &again) && again == bound);
  }

  // Cents keyed without a point gain exactly one point and lose no digit.
  const std::string withPoint = kvt::payment::InsertDecimals(cstr);
  if (cstr.find('.') == std::string::npos && !cstr.empty() && cstr != "-") {
    FUZZ_CHECK(std::count(withPoint.begin(), withPoint.end(), '.') == 1);
    std::string digits = withPoint;
    digits.erase(std::remove(digits.begin(), digits.end(), '.'), digits.end());
    FUZZ_CHECK(digits.size() >= cstr.size());
  }

  // Rounding and formatting any double: no crash, a rounded money amount of
  // a till's size reads back as itself.
  if (size >= sizeof(double) + 2) {
    double v = 0;
    std::memcpy(&v, data, sizeof v);
    const int decimals = data[sizeof v] % 12 - 1;
    const int length = data[sizeof v + 1] % 40 - 2;
    const double r = KVTRound(v, decimals);
    const std::string shown = KVTSRound(v, decimals);
    if (std::isfinite(v) && std::fabs(v) < 1e12 && decimals >= 0 && decimals <= 9)
      FUZZ_CHECK(std::strtod(shown.c_str(), nullptr) == r || std::fabs(r) < 1e-9);
    (void)kvt::sql::Str(v, length, decimals);
    (void)kvt::sql::FormatDouble(v);
  }
  return 0;
}
