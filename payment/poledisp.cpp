// The pole display's setting and lines.
#include "payment/poledisp.h"

#include <cstdlib>

#include "platform/base/textwidth.h"

namespace kvt::devices {

namespace {

// Characters [from, from + n) of the setting (1-based), as they are.
std::string Cut(const std::string& s, std::size_t from, std::size_t n) {
  return from - 1 < s.size() ? s.substr(from - 1, n) : "";
}

// A line of the display is `width` characters wide.
std::string Left(const std::string& s, std::size_t width) {
  std::string t = KVTCut(s, SIZE_MAX, width);
  return t + std::string(width - KVTCharCount(t), ' ');
}

std::string Right(const std::string& s, std::size_t width) {
  std::string t = KVTCut(s, SIZE_MAX, width);
  return std::string(width - KVTCharCount(t), ' ') + t;
}

}  // namespace

PoleSetting ParsePoleSetting(const std::string& setting) {
  PoleSetting p;
  if (setting.empty() || setting == "None") return p;
  p.none = false;
  std::string port = Cut(setting, 1, 4);
  if (port.size() == 4 && port.compare(0, 3, "COM") == 0 && port[3] >= '1' && port[3] <= '4')
    p.port = static_cast<unsigned>(port[3] - '0');
  p.baud = static_cast<unsigned>(std::atoi(Cut(setting, 6, 4).c_str()));
  p.dataBits = static_cast<unsigned>(std::atoi(Cut(setting, 11, 1).c_str()));
  std::string parity = Cut(setting, 13, 1);
  p.parity = parity.empty() ? '\0' : parity[0];
  p.stopBits = static_cast<unsigned>(std::atoi(Cut(setting, 15, 1).c_str()));
  return p;
}

std::string PoleLine(const std::string& description, const std::string& amount) {
  if (!description.empty() && !amount.empty()) return Left(description, 13) + Right(amount, 7);
  if (!description.empty()) return Left(description, kPoleColumns);
  return Right(amount, kPoleColumns);
}

std::string PoleText(const std::string& desc1, const std::string& amount1, const std::string& desc2,
                     const std::string& amount2) {
  return PoleLine(desc1, amount1) + PoleLine(desc2, amount2);
}

}  // namespace kvt::devices
