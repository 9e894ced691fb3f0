// The serial port object of the pole display.
#include "payment/sport.h"

#include <cstdio>
#include <vector>

#include "platform/base/textwidth.h"
#include "platform/forms/msgbox.h"

namespace {
// Posted to the port's own hidden window: show the worker's errors.
constexpr UINT kShowErrors = WM_USER + 100;
}  // namespace

CSerialPort::CSerialPort() : m_uiThread(std::this_thread::get_id()) {
  m_hErrorWindow = CreateKVTWindow("CSerialPort", "", nullptr,
                                   [this](HWND, UINT msg, WPARAM, LPARAM) -> LRESULT {
                                     if (msg == kShowErrors) ShowPendingErrors();
                                     return 0;
                                   });
}

CSerialPort::~CSerialPort() {
  EndMonitoring();
  {
    std::lock_guard<KVTCriticalSection> lock(m_csCommunicationSync);
    m_hComm.Close();
  }
  DestroyWindow(m_hErrorWindow);
}

bool CSerialPort::InitPort(HWND pPortOwner, unsigned portnr, unsigned baud, char parity,
                           unsigned databits, unsigned stopbits, unsigned dwCommEvents,
                           unsigned writebuffersize) {
  EndMonitoring();
  m_hShutdownEvent.Reset();
  m_hWriteEvent.Reset();
  m_pOwner = pPortOwner;
  m_nPortNr = portnr;
  m_dwCommEvents = dwCommEvents;
  m_nWriteBufferSize = writebuffersize;

  std::lock_guard<KVTCriticalSection> lock(m_csCommunicationSync);
  m_szWriteBuffer.clear();
  m_hComm.Close();
  char port[16], settings[64];
  std::snprintf(port, sizeof port, "COM%u", portnr);
  std::snprintf(settings, sizeof settings, "baud=%u parity=%c data=%u stop=%u", baud, parity,
                databits, stopbits);
  if (!m_hComm.Open(port)) return false;
  m_CommTimeouts = {1000, 1000, 1000, 1000, 1000};
  // Each step needs the one before; the first that fails is reported.
  const char* failed = nullptr;
  if (!m_hComm.SetCommTimeouts(m_CommTimeouts))
    failed = "SetCommTimeouts()";
  else if (!m_hComm.SetCommMask(dwCommEvents))
    failed = "SetCommMask()";
  else if (!m_hComm.GetCommState(&m_dcb))
    failed = "GetCommState()";
  else if ((m_dcb.fRtsControl = RTS_CONTROL_ENABLE, !BuildCommDCB(settings, &m_dcb)))
    failed = "BuildCommDCB()";
  else if (!m_hComm.SetCommState(m_dcb))
    failed = "SetCommState()";
  if (failed) ProcessErrorMessage(failed);
  m_hComm.PurgeComm(PURGE_RXCLEAR | PURGE_TXCLEAR | PURGE_RXABORT | PURGE_TXABORT);
  return true;
}

bool CSerialPort::StartMonitoring() {
  if (!m_hComm.IsOpen() || m_Thread.joinable()) return false;
  m_hShutdownEvent.Reset();
  m_bThreadAlive = true;
  m_nExitCode = 0;
  m_Thread = std::thread([this] { CommThread(); });
  return true;
}

bool CSerialPort::RestartMonitoring() {
  return StartMonitoring();
}

bool CSerialPort::StopMonitoring() {
  return EndMonitoring();
}

bool CSerialPort::EndMonitoring() {
  if (!m_Thread.joinable()) return false;
  m_hShutdownEvent.Set();
  m_Thread.join();
  m_hShutdownEvent.Reset();
  return true;
}

void CSerialPort::WriteToPort(const char* string) {
  if (!m_hComm.IsOpen() || !string) return;
  std::string text(string);
  if (m_nWriteBufferSize > 0 && text.size() >= m_nWriteBufferSize)
    text = KVTCut(text, m_nWriteBufferSize - 1);
  {
    std::lock_guard<KVTCriticalSection> lock(m_csCommunicationSync);
    m_szWriteBuffer.push_back(std::move(text));
  }
  m_hWriteEvent.Set();
}

void CSerialPort::ProcessErrorMessage(const char* ErrorText) {
  char text[1024];
  std::snprintf(text, sizeof text, "WARNING:  %s Failed with the following error: \n%s\nPort: %u\n",
                ErrorText, m_hComm.LastErrorText().c_str(), m_nPortNr);
  {
    std::lock_guard<std::mutex> lock(m_errorsMutex);
    m_errors.emplace_back(text);
  }
  if (std::this_thread::get_id() == m_uiThread)
    ShowPendingErrors();
  else
    PostMessage(m_hErrorWindow, kShowErrors);
}

void CSerialPort::ShowPendingErrors() {
  for (;;) {
    std::string text;
    {
      std::lock_guard<std::mutex> lock(m_errorsMutex);
      if (m_errors.empty()) return;
      text = std::move(m_errors.front());
      m_errors.pop_front();
    }
    MessageBox(nullptr, text.c_str(), "Application Error", MB_OK | MB_ICONSTOP);
  }
}

void CSerialPort::CommThread() {
  // The port was purged when it opened; purging again here would drop a
  // character that arrived while the worker started.
  // A line that hung up stays readable; it is reported once and no longer
  // watched.
  bool watchPort = (m_dwCommEvents & EV_RXCHAR) != 0;
  for (;;) {
    std::vector<KVTWaitItem> items{m_hShutdownEvent, m_hWriteEvent};
    if (watchPort) items.push_back(KVTWaitItem::Readable(m_hComm.Fd()));
    int which = WaitForEventsOrFds(items, kWaitForever);
    if (which == 0 || which == kWaitFailed) {
      WriteChar();  // what was queued before the end still goes out
      break;
    }
    if (which == 1) WriteChar();
    if (which == 2) {
      int waiting;
      {
        std::lock_guard<KVTCriticalSection> lock(m_csCommunicationSync);
        waiting = m_hComm.BytesWaiting();
      }
      if (waiting > 0) {
        ReceiveChar();
      } else {
        watchPort = false;
        PostMessage(m_pOwner, WM_COMM_ERR_DETECTED, 0, m_nPortNr);
      }
    }
  }
  m_bThreadAlive = false;
  m_nExitCode = 100;
}

void CSerialPort::ReceiveChar() {
  for (;;) {
    unsigned char c = 0;
    std::size_t got = 0;
    {
      std::lock_guard<KVTCriticalSection> lock(m_csCommunicationSync);
      if (m_hComm.BytesWaiting() <= 0) return;
      if (!m_hComm.ReadFile(&c, 1, &got)) {
        ProcessErrorMessage("ReadFile()");
        return;
      }
    }
    if (got == 0) return;
    PostMessage(m_pOwner, WM_COMM_RXCHAR, c, m_nPortNr);
  }
}

void CSerialPort::WriteChar() {
  m_hWriteEvent.Reset();
  std::lock_guard<KVTCriticalSection> lock(m_csCommunicationSync);
  // Every text queued goes whole, oldest first; the port is not purged in
  // between, which would drop a text the display has not taken yet.
  while (!m_szWriteBuffer.empty()) {
    std::string text = std::move(m_szWriteBuffer.front());
    m_szWriteBuffer.pop_front();
    if (!m_hComm.WriteFile(text.data(), text.size())) {
      ProcessErrorMessage("WriteFile()");
      return;
    }
  }
}
