// The date texts a cashier keys and the database binds: MakeDate,
// MakeDateYYYYMMDD, KVTSetToday, and the binding of a date (NormalizeDate and
// back to the screen's form).
#include <cstring>
#include <vector>

#include "fuzz/fuzz.h"
#include "platform/base/kvtbase.h"
#include "platform/sql/dialect.h"

namespace {

bool EightDigitDay(const char* d) {
  if (std::strlen(d) != 8) return false;
  for (int i = 0; i < 8; ++i)
    if (d[i] < '0' || d[i] > '9') return false;
  auto n = [&](int at, int len) { return std::atoi(std::string(d + at, len).c_str()); };
  return KVTValidDate(n(4, 4), n(0, 2), n(2, 2));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string text = FuzzText(data, size);

  // A completed date is a calendar day of eight digits; a refused one is
  // left as it was. The buffer holds the text and at least 9 bytes.
  std::vector<char> buf(std::max<std::size_t>(size + 1, 9), '\0');
  std::memcpy(buf.data(), data, size);
  const std::string before(buf.data());
  if (MakeDate(buf.data()))
    FUZZ_CHECK(EightDigitDay(buf.data()));
  else
    FUZZ_CHECK(before == buf.data());

  const long ymd = MakeDateYYYYMMDD(before.c_str());
  FUZZ_CHECK(ymd == 0 ||
             KVTValidDate(static_cast<int>(ymd / 10000), static_cast<int>(ymd / 100 % 100),
                          static_cast<int>(ymd % 100)));

  if (KVTSetToday(before.c_str()) && !before.empty()) {
    char today[9];
    FUZZ_CHECK(EightDigitDay(CurrentDate(today)));
  }
  KVTSetToday(nullptr);

  // A bound date reads back as MM/DD/YYYY, and that binds to the same day.
  std::string iso;
  if (kvt::sql::NormalizeDate(before.c_str(), &iso) && !iso.empty()) {
    const std::string shown = kvt::sql::IsoToDisplayDate(iso);
    FUZZ_CHECK(shown.size() == 10 && shown[2] == '/' && shown[5] == '/');
    std::string again;
    FUZZ_CHECK(kvt::sql::NormalizeDate(shown.c_str(), &again) && again == iso);
  }
  (void)kvt::sql::IsoToDisplayDate(text);
  return 0;
}
