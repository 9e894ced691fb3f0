// The cash drawer on a serial port of its own: the port is opened, set to
// 9600 baud, 8 data bits, no parity, 1 stop bit, and closed again; only when
// every step succeeded is it opened once more and kicked with a carriage
// return and line feed.
#pragma once

#include <string>

#include "platform/win/window.h"

namespace kvt::devices {

inline constexpr char kDrawerKick[] = "\r\n";

// Kicks the drawer on `port` ("COM2"). Each failing step is shown (caption
// "Kovatel Software", stop icon) and skips the rest; false then. Calls from
// several threads take turns.
bool KickSerialDrawer(HWND owner, const std::string& port);

}  // namespace kvt::devices
