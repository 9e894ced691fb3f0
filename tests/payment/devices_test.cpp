// The pole display's lines and setting, the serial port object, and the
// cash drawer, on pseudo-terminals mapped to COM1 and COM2.
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "payment/devices.h"
#include "payment/drawer.h"
#include "payment/poledisp.h"
#include "payment/sport.h"
#include "platform/forms/forms.h"
#include "platform/forms/headless/headless.h"
#include "platform/win/serial.h"
#include "sale/pos1.h"
#include "shell/globals.h"
#include "suite/host/host.h"
#include "tests/payment/pty.h"

namespace {

using kvt::devices::ParsePoleSetting;
using kvt::devices::PoleLine;
using kvt::test::Pty;

const std::string kClear = "\x1F\x14\x11";

TEST(PoleDisplay, LinesShareTwentyColumns) {
  // clang-format off
  const struct { const char *description, *amount, *shown; } cases[] = {
      {"ABCDEFGHIJKLMNOPQRSTU", "12345.67", "ABCDEFGHIJKLM12345.6"},  // 21 and 8: both cut
      {"Nails", "1.99", "Nails           1.99"},
      {"Total Due", "", "Total Due           "},
      {"A description of 25 chars", "", "A description of 25 "},
      {"", "5.00", "                5.00"},
      {"", "", "                    "},
  };
  // clang-format on
  for (const auto& c : cases) {
    std::string line = PoleLine(c.description, c.amount);
    EXPECT_EQ(line, c.shown) << c.description << "|" << c.amount;
    EXPECT_EQ(line.size(), 20u);
  }
}

TEST(PoleDisplay, SettingIsReadByPosition) {
  const std::pair<const char*, const char*> cases[] = {
      // setting, "port baud parity data stop"
      {"COM1,9600,8,N,1", "1 9600 N 8 1"},
      {"COM4,9600,8,N,2", "4 9600 N 8 2"},
      {"COM5,9600,8,N,1", "0 9600 N 8 1"},  // only COM1-COM4 are ports
      {"COM2;4800;7;E;1", "2 4800 E 7 1"},  // the separators are not read
      {"None", "none"},
  };
  for (const auto& [setting, read] : cases) {
    auto p = ParsePoleSetting(setting);
    EXPECT_EQ(p.none ? "none"
                     : std::to_string(p.port) + " " + std::to_string(p.baud) + " " + p.parity +
                           " " + std::to_string(p.dataBits) + " " + std::to_string(p.stopBits),
              read)
        << setting;
  }
}

// A scratch folder of its own for the settings file that maps the ports.
class Devices : public ::testing::Test {
 protected:
  void SetUp() override {
    std::filesystem::remove("kvtlocal.ini");
    KVTResetModuleState();
    user.Install();
    owner = CreateKVTWindow("Owner", "", nullptr, [this](HWND, UINT m, WPARAM w, LPARAM l) {
      received.push_back({m, w, l});
      return LRESULT{0};
    });
  }
  void TearDown() override {
    DestroyWindow(owner);
    KVTResetModuleState();
  }
  std::vector<std::string> Messages() const {
    std::vector<std::string> out;
    for (const KVTShownMessage& m : user.Messages()) out.push_back(m.text);
    return out;
  }

  // clang-format off
  struct Notice { UINT msg; WPARAM w; LPARAM l; };
  // clang-format on
  KVTHeadlessBackend user;
  HWND owner = nullptr;
  std::vector<Notice> received;
};

TEST_F(Devices, APortOpensAtItsSettings) {
  // clang-format off
  struct Case { unsigned baud; char parity; unsigned data, stop; speed_t speed; } cases[] = {
      {9600, 'N', 8, 1, B9600}, {4800, 'E', 7, 2, B4800}, {19200, 'O', 8, 1, B19200}};
  // clang-format on
  Pty pty("COM1");
  ASSERT_TRUE(pty.ok());
  for (const Case& c : cases) {
    CSerialPort port;
    ASSERT_TRUE(port.InitPort(owner, 1, c.baud, c.parity, c.data, c.stop, EV_RXCHAR, 4096));
    // A pseudo-terminal takes the speed and the stop bits; it keeps 8 data
    // bits without parity, so those are checked on the port's settings.
    termios t = pty.Settings();
    EXPECT_EQ(cfgetospeed(&t), c.speed) << c.baud;
    EXPECT_EQ((t.c_cflag & CSTOPB) != 0, c.stop == 2) << c.baud;
    DCB dcb = port.GetDCB();
    EXPECT_EQ(dcb.BaudRate, c.baud);
    EXPECT_EQ(dcb.ByteSize, static_cast<int>(c.data));
    EXPECT_EQ(dcb.Parity, c.parity);
    EXPECT_EQ(dcb.StopBits, static_cast<int>(c.stop));
    EXPECT_EQ(dcb.fRtsControl, RTS_CONTROL_ENABLE);
  }
  EXPECT_TRUE(Messages().empty());
}

TEST_F(Devices, AFailingStepIsReportedAndThePortStillCountsAsOpen) {
  Pty pty("COM1");
  ASSERT_TRUE(pty.ok());
  CSerialPort port;
  EXPECT_TRUE(port.InitPort(owner, 1, 1234, 'N', 8, 1));  // no such baud rate
  ASSERT_EQ(user.Messages().size(), 1u);
  EXPECT_EQ(user.Messages()[0].caption, "Application Error");
  EXPECT_EQ(Messages()[0].rfind("WARNING:  BuildCommDCB() Failed with the following error: \n", 0),
            0u)
      << Messages()[0];
  EXPECT_NE(Messages()[0].find("\nPort: 1\n"), std::string::npos);
}

TEST_F(Devices, APortThatIsNotThereDoesNotOpen) {
  Pty pty("COM1");
  WritePrivateProfileString("Ports", "COM2", "/nonexistent/tty", "kvtlocal.ini");
  CSerialPort held, second, missing, unnamed;
  ASSERT_TRUE(held.InitPort(owner, 1, 9600));
  EXPECT_FALSE(second.InitPort(owner, 1, 9600));  // taken: ports are exclusive
  EXPECT_FALSE(missing.InitPort(owner, 2, 9600));
  EXPECT_FALSE(unnamed.InitPort(owner, 0, 9600));  // COM5 and beyond read as port 0
  EXPECT_TRUE(Messages().empty());
}

// A monitored port: texts written at once arrive whole and in order, and a
// character received is posted to the owner.
TEST_F(Devices, AMonitoredPortWritesInOrderAndPostsWhatItReceives) {
  Pty pty("COM1");
  CSerialPort port;
  ASSERT_TRUE(port.InitPort(owner, 1, 9600, 'N', 8, 1, EV_RXCHAR | EV_DSR | EV_RLSD, 4096));
  ASSERT_TRUE(port.StartMonitoring());
  std::string expected;
  for (int i = 0; i < 50; ++i) {
    std::string text = kClear + PoleLine("Item " + std::to_string(i), std::to_string(i) + ".00") +
                       PoleLine("Total Due", "9.99");
    port.WriteToPort(text.c_str());
    expected += text;
  }
  EXPECT_EQ(pty.Read(expected.size()), expected);
  pty.Write("K");
  for (int i = 0; i < 200 && PendingMessageCount() == 0; ++i)
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  PumpWaitingMessages();
  ASSERT_EQ(received.size(), 1u);
  EXPECT_EQ(received[0].msg, 1031u);
  EXPECT_EQ(received[0].w, static_cast<WPARAM>('K'));
  EXPECT_EQ(received[0].l, 1);
  EXPECT_TRUE(port.EndMonitoring());
  EXPECT_EQ(port.ExitCode(), 100);
  EXPECT_FALSE(port.IsMonitoring());
}

TEST_F(Devices, TheSerialDrawerIsKickedWithReturnAndLineFeedOrToldItCannotOpen) {
  Pty pty("COM2");
  ASSERT_TRUE(kvt::devices::KickSerialDrawer(owner, "COM2"));
  EXPECT_EQ(pty.Read(2), "\r\n");
  termios t = pty.Settings();
  EXPECT_EQ(cfgetospeed(&t), B9600);
  EXPECT_EQ(t.c_cflag & (CSIZE | PARENB | CSTOPB), static_cast<tcflag_t>(CS8));
  EXPECT_TRUE(Messages().empty());
  // A port another program holds, and a port that is no serial port.
  KVTCommPort taken;
  ASSERT_TRUE(taken.Open("COM2"));
  EXPECT_FALSE(kvt::devices::KickSerialDrawer(owner, "COM2"));
  EXPECT_FALSE(kvt::devices::KickSerialDrawer(owner, "LPT1"));
  EXPECT_EQ(Messages(), (std::vector<std::string>{"Error opening port.", "Error opening port."}));
  EXPECT_EQ(user.Messages()[0].caption, "Kovatel Software");
  EXPECT_EQ(pty.Read(1, 100), "");
}

TEST_F(Devices, TestingASettingShowsItAndAsks) {
  Pty pty("COM1");
  const std::string setting = "COM1,9600,8,N,1";
  auto padded = [](std::string s) {
    s.resize(40, ' ');
    return s;
  };
  user.AddAnswer(IDYES);
  EXPECT_TRUE(TestPoleDisplay(owner, setting.c_str()));
  EXPECT_EQ(pty.Read(80), padded(kClear + setting) + padded(kClear));
  user.AddAnswer(IDNO);
  EXPECT_FALSE(TestPoleDisplay(owner, setting.c_str()));
  EXPECT_EQ(pty.Read(80), padded(kClear + setting) + padded(kClear));
  EXPECT_FALSE(TestPoleDisplay(owner, "None"));
  EXPECT_FALSE(TestPoleDisplay(owner, "COM5,9600,8,N,1"));  // not a port of the till
  const std::string question =
      "Is the option you selected displayed correctly on the pole display?";
  EXPECT_EQ(Messages(),
            (std::vector<std::string>{
                question, setting + " is the correct setting for your pole display.", question,
                setting + " is NOT the correct setting for your pole display.\n\n    "
                          "Please try a different option from the drop down list."}));
}

// The sale screen's members: the pole display from CFG_POLEDISPLAY and the
// drawer from "TillDrawerPort", with the host answering module requests
// from an empty module folder (no report module).
class SaleDevices : public Devices {
 protected:
  void SetUp() override {
    Devices::SetUp();
    std::filesystem::create_directories("nomodules");
    host = std::make_unique<KVTHost>(std::filesystem::absolute("nomodules").string());
    screen = std::make_unique<PVpos1Dlg>(host->MainWindow());
    ASSERT_TRUE(screen->Create());
  }
  void TearDown() override {
    screen.reset();
    KVTForms::Instance().CloseAll();
    host.reset();
    Devices::TearDown();
  }
  void AddLine(const std::string& description, const std::string& amount) {
    TDataTbl& g = screen->SaleGrid();
    int row = g.InsertRow();
    g.SetCell(1, row, description);
    g.SetCell(4, row, amount);
  }
  std::unique_ptr<KVTHost> host;
  std::unique_ptr<PVpos1Dlg> screen;
};

TEST_F(SaleDevices, ThePoleDisplayOpensClearedAndShowsTwoLines) {
  Pty pty("COM1");
  KVTSetSetting(CFG_POLEDISPLAY, "COM1,9600,8,N,1");
  ASSERT_TRUE(screen->InitPoleDisplay());
  EXPECT_EQ(pty.Read(3), kClear);  // the clear alone: nothing to show
  termios t = pty.Settings();
  EXPECT_EQ(cfgetospeed(&t), B9600);

  screen->PoleDisplayPrint(-1, "Change Due", "4.25", "", "");
  EXPECT_EQ(pty.Read(43), kClear + "Change Due      4.25" + std::string(20, ' '));

  AddLine("Gate hinges", "25.00");
  AddLine("Hydraulic oil 5 gallon drum", "472.47");
  AddLine("Nails", "3.00");
  KVTSetSetting(screen->Data.TOTAL, "608.75");
  screen->PoleDisplayPrint(0, "", "", "", "");  // the last line
  EXPECT_EQ(pty.Read(43), kClear + "Nails           3.00Total Due     608.75");
  screen->PoleDisplayPrint(1, "", "", "", "");  // row 1 is the second line
  EXPECT_EQ(screen->sPrintBuffer, "Hydraulic oil 472.47Total Due     608.75");
  EXPECT_EQ(pty.Read(43), kClear + screen->sPrintBuffer);
  screen->PoleDisplayPrint(-1, "", "", "", "");
  EXPECT_EQ(pty.Read(50, 300), kClear);
  EXPECT_TRUE(Messages().empty());
}

TEST_F(SaleDevices, APoleDisplayOnCom5IsAnError) {
  KVTSetSetting(CFG_POLEDISPLAY, "COM5,9600,8,N,1");
  EXPECT_FALSE(screen->InitPoleDisplay());
  EXPECT_EQ(Messages(), std::vector<std::string>{"Error initializing the Pole Display!"});
  screen->PoleDisplayPrint(-1, "lost", "", "", "");  // a port that failed takes nothing
  KVTSetSetting(CFG_POLEDISPLAY, "None");
  EXPECT_TRUE(screen->InitPoleDisplay());
  EXPECT_EQ(Messages().size(), 1u);
}

TEST_F(SaleDevices, TheDrawerPortDecidesSerialOrPrinter) {
  const std::string notInstalled =
      "KVTPOSR.DLL is not currently installed. Please install DLL and retry.";
  // "TillDrawerPort" (null: missing), the receipt printer and its type, what COM2 receives.
  // clang-format off
  struct Case { const char *port, *printer, *type, *bytes; std::vector<std::string> messages; } cases[] = {
      {"COM2", "None", "None", "\r\n", {}},
      {nullptr, "Receipts", "EPSON", "", {notInstalled}},  // through the receipt printer
      {"Printer", "Receipts", "STAR", "", {notInstalled}},
      {nullptr, "View Window", "EPSON", "", {}},
      {nullptr, "None", "EPSON", "", {}},
      {nullptr, "Receipts", "None", "", {}},
  };
  // clang-format on
  Pty pty("COM2");
  for (const Case& c : cases) {
    user.Reset();
    WritePrivateProfileString("Point of Sale", "TillDrawerPort", c.port, "kvtlocal.ini");
    KVTSetSetting(CFG_RECEIPTPRINTER, c.printer);
    KVTSetSetting(CFG_RECPTRTYPE, c.type);
    screen->OpenTillDrawer();
    EXPECT_EQ(pty.Read(std::string(c.bytes).size() + 1, 200), c.bytes) << c.printer;
    EXPECT_EQ(Messages(), c.messages) << (c.port ? c.port : "missing") << " " << c.printer;
  }
}

}  // namespace
