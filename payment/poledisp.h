// The customer pole display: a two-line, twenty-column text display on a
// serial port. Its setting text, the layout of its lines and the bytes sent.
#pragma once

#include <string>

namespace kvt::devices {

// Clear and home, sent before every text.
inline constexpr char kPoleClear[] = "\x1F\x14\x11";
inline constexpr int kPoleColumns = 20;

// "COM1,9600,8,N,1": characters 1-4 the port, 6-9 the baud rate, 11 the data
// bits, 13 the parity letter, 15 the stop bits; the separators are not read.
struct PoleSetting {
  bool none = true;   // "None" or empty: no pole display
  unsigned port = 0;  // 1-4 for COM1-COM4, 0 for anything else
  unsigned baud = 0;
  char parity = '\0';
  unsigned dataBits = 0;
  unsigned stopBits = 0;
};
PoleSetting ParsePoleSetting(const std::string& setting);

// One 20-character line: a description and an amount share it 13 + 7 (the
// description cut and padded on the right, the amount cut and padded on the
// left); a description alone is left-aligned in 20, an amount alone (or
// nothing) right-aligned in 20.
std::string PoleLine(const std::string& description, const std::string& amount);
// The 40 characters of both lines, line 1 first, no separator.
std::string PoleText(const std::string& desc1, const std::string& amount1, const std::string& desc2,
                     const std::string& amount2);

}  // namespace kvt::devices
