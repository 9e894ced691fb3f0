// CSerialPort: a serial port with one worker thread that owns the port,
// writes the texts queued by WriteToPort and reports received characters
// and line trouble to an owner window by posted messages.
//
// Notifications (message, character or 0, port number): 1025 break, 1026
// clear-to-send changed, 1028 line error, 1029 ring, 1031 a character
// received, 1032 the event character. On POSIX a received character and a
// line that hung up (1028) are what can be seen.
//
// Texts given to WriteToPort reach the port whole and in the order written,
// however quickly they follow each other. A failing step of the port is
// shown by ProcessErrorMessage on the user-interface thread (from the worker
// it is handed over through the owner's message queue).
#pragma once

#include <atomic>
#include <deque>
#include <mutex>
#include <string>
#include <thread>

#include "platform/win/serial.h"
#include "platform/win/thread.h"
#include "platform/win/window.h"

enum : UINT {
  WM_COMM_BREAK_DETECTED = WM_USER + 1,  // 1025
  WM_COMM_CTS_DETECTED = WM_USER + 2,    // 1026
  WM_COMM_ERR_DETECTED = WM_USER + 4,    // 1028
  WM_COMM_RING_DETECTED = WM_USER + 5,   // 1029
  WM_COMM_RXCHAR = WM_USER + 7,          // 1031
  WM_COMM_RXFLAG_DETECTED = WM_USER + 8  // 1032
};

class CSerialPort {
 public:
  CSerialPort();
  // Ends the worker, closes the port.
  ~CSerialPort();
  CSerialPort(const CSerialPort&) = delete;
  CSerialPort& operator=(const CSerialPort&) = delete;

  // Opens "COM<portnr>" at the settings given, the event mask and a write
  // buffer of `writebuffersize` bytes (a longer text is cut to it). A step
  // that fails after the port opened is reported and the later steps are
  // skipped, yet the port counts as opened (true). False when the port did
  // not open. A worker already running is ended first.
  bool InitPort(HWND pPortOwner, unsigned portnr = 1, unsigned baud = 19200, char parity = 'N',
                unsigned databits = 8, unsigned stopbits = 1,
                unsigned dwCommEvents = EV_RXCHAR | EV_CTS, unsigned writebuffersize = 512);

  // The worker: started, started again after a stop, stopped (queued texts
  // wait for a restart), ended. False when there is nothing to do it to.
  bool StartMonitoring();
  bool RestartMonitoring();
  bool StopMonitoring();
  bool EndMonitoring();

  unsigned GetWriteBufferSize() const { return m_nWriteBufferSize; }
  unsigned GetCommEvents() const { return m_dwCommEvents; }
  DCB GetDCB() const { return m_dcb; }
  bool IsOpen() const { return m_hComm.IsOpen(); }
  bool IsMonitoring() const { return m_bThreadAlive; }
  // The worker's exit code: 100 once it ended, 0 before.
  int ExitCode() const { return m_nExitCode; }

  // Queues a text for the worker (nothing when the port is not open).
  void WriteToPort(const char* string);

 protected:
  // "WARNING:  %s Failed with the following error: \n%s\nPort: %d\n".
  void ProcessErrorMessage(const char* ErrorText);
  void CommThread();
  void ReceiveChar();
  void WriteChar();

 private:
  void ShowPendingErrors();

  std::thread m_Thread;
  KVTCriticalSection m_csCommunicationSync;
  std::atomic<bool> m_bThreadAlive{false};
  KVTEvent m_hShutdownEvent{true};
  KVTCommPort m_hComm;
  KVTEvent m_hWriteEvent{true};
  COMMTIMEOUTS m_CommTimeouts;
  DCB m_dcb;
  HWND m_pOwner = nullptr;
  unsigned m_nPortNr = 0;
  std::deque<std::string> m_szWriteBuffer;  // texts waiting, oldest first
  unsigned m_dwCommEvents = 0;
  unsigned m_nWriteBufferSize = 0;
  std::atomic<int> m_nExitCode{0};

  // Errors met by the worker, shown on the user-interface thread.
  std::thread::id m_uiThread;
  HWND m_hErrorWindow = nullptr;
  std::mutex m_errorsMutex;
  std::deque<std::string> m_errors;
};
