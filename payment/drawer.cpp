// The serial cash drawer.
#include "payment/drawer.h"

#include <mutex>

#include "platform/forms/msgbox.h"
#include "platform/win/serial.h"
#include "platform/win/thread.h"

namespace kvt::devices {

namespace {

KVTCriticalSection g_drawerSync;

bool Stop(HWND owner, const char* text) {
  MessageBox(owner, text, "Kovatel Software", MB_OK | MB_ICONSTOP);
  return false;
}

// Opens the port and sets it up; false after its message.
bool SetUp(HWND owner, KVTCommPort& port, const std::string& name) {
  if (!port.Open(name)) return Stop(owner, "Error opening port.");
  if (!port.SetCommTimeouts({1000, 1000, 1000, 1000, 1000}))
    return Stop(owner, "SetCommTimeouts() failed.");
  if (!port.SetCommMask(EV_RXCHAR | EV_CTS)) return Stop(owner, "SetCommMask() failed.");
  DCB dcb;
  if (!port.GetCommState(&dcb)) return Stop(owner, "GetCommState() failed.");
  dcb.fRtsControl = RTS_CONTROL_ENABLE;
  if (!BuildCommDCB("baud=9600 parity=N data=8 stop=1", &dcb))
    return Stop(owner, "BuildCommDCB() failed.");
  if (!port.SetCommState(dcb)) return Stop(owner, "SetCommState() failed.");
  return true;
}

}  // namespace

bool KickSerialDrawer(HWND owner, const std::string& name) {
  std::lock_guard<KVTCriticalSection> lock(g_drawerSync);
  {
    KVTCommPort port;
    bool ready = SetUp(owner, port, name);
    if (port.IsOpen())
      port.PurgeComm(PURGE_TXABORT | PURGE_RXABORT | PURGE_TXCLEAR | PURGE_RXCLEAR);
    if (!ready) return false;
  }
  KVTCommPort out;
  if (!out.Open(name)) return false;
  return out.WriteFile(kDrawerKick, sizeof kDrawerKick - 1);
}

}  // namespace kvt::devices
