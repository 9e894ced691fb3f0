// The sale screen's devices: the pole display and the cash drawer.
#include "payment/devices.h"

#include <cstdio>
#include <cstring>
#include <string>

#include "payment/drawer.h"
#include "payment/poledisp.h"
#include "payment/pos1e.h"
#include "payment/sport.h"
#include "platform/forms/forms.h"
#include "platform/win/profile.h"
#include "sale/pos1.h"
#include "shell/globals.h"

namespace {

bool Is(const char* setting, const char* value) {
  return std::strcmp(setting, value) == 0;
}

}  // namespace

void PVpos1Dlg::SerialPortDeleter::operator()(CSerialPort* port) const {
  delete port;
}

bool PVpos1Dlg::InitPoleDisplay() {
  kvt::devices::PoleSetting pole = kvt::devices::ParsePoleSetting(CFG_POLEDISPLAY);
  if (pole.none) return true;
  serial_port.reset();
  serial_port.reset(new CSerialPort);
  if (!serial_port->InitPort(Handle(), pole.port, pole.baud, pole.parity, pole.dataBits,
                             pole.stopBits, EV_RXCHAR | EV_DSR | EV_RLSD, 4096)) {
    MessageBox("Error initializing the Pole Display!", PROGRAM_NAME, MB_OK | MB_ICONSTOP);
    return false;
  }
  serial_port->StartMonitoring();
  PoleDisplayPrint(-1, "", "", "", "");
  return true;
}

void PVpos1Dlg::PoleDisplayPrint(int row, const char* line1, const char* line2, const char* line3,
                                 const char* line4) {
  if (Is(CFG_POLEDISPLAY, "None")) return;
  auto write = [this](const std::string& text) {
    if (serial_port) serial_port->WriteToPort(text.c_str());
  };
  write(kvt::devices::kPoleClear);
  std::string d1 = line1 ? line1 : "", a1 = line2 ? line2 : "";
  std::string d2 = line3 ? line3 : "", a2 = line4 ? line4 : "";
  if (row == 0) row = SaleGrid().GetRowCount() - 1;
  if (row >= 0) {
    d1 = SaleGrid().GetCell(1, row);
    a1 = SaleGrid().GetCell(4, row);
    d2 = "Total Due";
    a2 = Data.TOTAL;
  }
  if (d1.empty() && a1.empty() && d2.empty() && a2.empty()) return;
  sPrintBuffer = kvt::devices::PoleText(d1, a1, d2, a2);
  write(sPrintBuffer);
}

void PVpos1Dlg::OpenTillDrawer() {
  char port[KVT_PRINTER_LEN];
  GetPrivateProfileString(PROGRAM_NAME, "TillDrawerPort", "Printer", port, sizeof port, LOCAL_INI);
  if (!Is(port, "Printer")) {
    kvt::devices::KickSerialDrawer(Handle(), port);
    return;
  }
  if (Is(CFG_RECEIPTPRINTER, "None") || Is(CFG_RECEIPTPRINTER, "View Window") ||
      Is(CFG_RECPTRTYPE, "None"))
    return;
  kvt::reports::ReportPrinter printer =
      kvt::reports::ChoosePrinter(CFG_RECEIPTPRINTER, CFG_RECEIPTPRINTERTEXTMODE, "T");
  printer.printerText.clear();
  kvt::reports::CallReport(Handle(), "OpenTillDrawer", printer);
}

bool TestPoleDisplay(HWND parent, const char* setting) {
  std::string text = setting ? setting : "";
  kvt::devices::PoleSetting pole = kvt::devices::ParsePoleSetting(text);
  if (pole.none) return false;
  bool correct;
  {
    CSerialPort port;
    if (!port.InitPort(parent, pole.port, pole.baud, pole.parity, pole.dataBits, pole.stopBits,
                       EV_RXCHAR | EV_DSR | EV_RLSD, 4096))
      return false;
    port.StartMonitoring();
    auto padded = [](std::string s) {
      s.resize(40, ' ');
      return s;
    };
    port.WriteToPort(padded(kvt::devices::kPoleClear + text).c_str());
    correct =
        MessageBox(parent, "Is the option you selected displayed correctly on the pole display?",
                   PROGRAM_NAME, MB_YESNO | MB_ICONQUESTION) == IDYES;
    port.WriteToPort(padded(kvt::devices::kPoleClear).c_str());
    // Ending the worker lets it write what was queued first.
    port.StopMonitoring();
    port.EndMonitoring();
  }
  char message[256];
  std::snprintf(message, sizeof message,
                correct
                    ? "%s is the correct setting for your pole display."
                    : "%s is NOT the correct setting for your pole display.\n\n    Please try a "
                      "different option from the drop down list.",
                text.c_str());
  MessageBox(parent, message, PROGRAM_NAME, MB_OK);
  return correct;
}
