// Serial ports by their Windows names ("COM1"), on POSIX termios. "COM1" to
// "COM4" are the devices named in section "Ports" of the local settings file
// ("kvtlocal.ini", keys COM1..COM4; defaults /dev/ttyS0 to /dev/ttyS3), so a
// test maps them to pseudo-terminals.
//
// KVTCommPort plays the Windows communication calls one by one (open, time-
// outs, event mask, state, settings text, purge, write, read, waiting bytes),
// each answering true or false with the system's text for the failure in
// LastErrorText(). A port is opened exclusively: a second open of the same
// device fails until the first is closed. Nothing throws. One object belongs
// to one thread at a time; the caller serialises (CSerialPort holds a
// critical section around it).
#pragma once

#include <cstddef>
#include <string>

#include "platform/base/export.h"

// Time-outs in milliseconds, as the module sets them.
struct COMMTIMEOUTS {
  unsigned ReadIntervalTimeout = 0;
  unsigned ReadTotalTimeoutMultiplier = 0;
  unsigned ReadTotalTimeoutConstant = 0;
  unsigned WriteTotalTimeoutMultiplier = 0;
  unsigned WriteTotalTimeoutConstant = 0;
};

enum : int { RTS_CONTROL_DISABLE = 0, RTS_CONTROL_ENABLE = 1 };

// The port's settings.
struct DCB {
  unsigned BaudRate = 9600;
  int ByteSize = 8;   // 5 to 8
  char Parity = 'N';  // N, E, O
  int StopBits = 1;   // 1 or 2
  int fRtsControl = RTS_CONTROL_DISABLE;
};

// Event mask bits of SetCommMask.
enum : unsigned {
  EV_RXCHAR = 0x0001,
  EV_RXFLAG = 0x0002,
  EV_TXEMPTY = 0x0004,
  EV_CTS = 0x0008,
  EV_DSR = 0x0010,
  EV_RLSD = 0x0020,
  EV_BREAK = 0x0040,
  EV_ERR = 0x0080,
  EV_RING = 0x0100,
};

enum : unsigned {
  PURGE_TXABORT = 0x0001,
  PURGE_RXABORT = 0x0002,
  PURGE_TXCLEAR = 0x0004,
  PURGE_RXCLEAR = 0x0008,
};

// "baud=9600 parity=N data=8 stop=1" into `dcb` (fields not named keep their
// values). False, `dcb` unchanged, for an unknown word, a baud rate termios
// does not have, data bits outside 5-8, a parity other than N/E/O or stop
// bits other than 1/2.
KVT_EXPORT bool BuildCommDCB(const char* settings, DCB* dcb);

class KVT_EXPORT KVTCommPort {
 public:
  KVTCommPort() = default;
  ~KVTCommPort();
  KVTCommPort(const KVTCommPort&) = delete;
  KVTCommPort& operator=(const KVTCommPort&) = delete;

  // The device of a port name: "COM1".."COM4" from the settings file, a
  // path (with a slash) as it is, "" for anything else.
  static std::string DevicePath(const std::string& name);

  // Opens an existing port for reading and writing, exclusively. Closes
  // what was open before.
  bool Open(const std::string& name);
  bool IsOpen() const { return fd_ >= 0; }
  // Readable when a character waits (or the line hung up); -1 when closed.
  int Fd() const { return fd_; }
  const std::string& Name() const { return name_; }
  void Close();

  bool SetCommTimeouts(const COMMTIMEOUTS& t);
  const COMMTIMEOUTS& GetCommTimeouts() const { return timeouts_; }
  bool SetCommMask(unsigned mask);
  unsigned GetCommMask() const { return mask_; }
  // The port's settings as the device has them now.
  bool GetCommState(DCB* dcb);
  bool SetCommState(const DCB& dcb);
  bool PurgeComm(unsigned flags);
  // Writes all of `data` within the write time-outs (multiplier per byte
  // plus constant; no limit when both are 0). False when the time ran out
  // or the device failed; *written says how much went.
  bool WriteFile(const void* data, std::size_t size, std::size_t* written = nullptr);
  // Reads up to `size` bytes that are waiting now; 0 read is not a failure.
  bool ReadFile(void* data, std::size_t size, std::size_t* read);
  // Characters waiting to be read; -1 on failure.
  int BytesWaiting();

  // What the last failing call met, as the system says it.
  const std::string& LastErrorText() const { return error_; }

 private:
  bool Fail(int err);
  bool Fail(const std::string& text);

  int fd_ = -1;
  std::string name_;
  COMMTIMEOUTS timeouts_;
  unsigned mask_ = 0;
  std::string error_;
};
