// Process locks at the host and the sale window's instance id.
#include "shell/locks.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>

#include "platform/base/kvtbase.h"
#include "platform/base/textwidth.h"
#include "platform/forms/msgbox.h"
#include "platform/win/hostwin.h"
#include "platform/win/profile.h"
#include "shell/globals.h"

namespace {

// -1: not read yet.
int g_lockTryCount = -1;
[[maybe_unused]] const bool kTryCountForgottenOnReset =
    KVTClearedOnReset([] { g_lockTryCount = -1; });

// Copies text into a fixed buffer, cut to fit.
void CopyName(char* dest, std::size_t size, const char* text) {
  KVTCopyText(dest, size, text ? text : "");
}

// Sends one request to the host; false (after saying so) without a host.
bool AskHost(WPARAM op, LockRequestInfo* request, LRESULT* result) {
  HWND host = KVTReturnMDIWin();
  if (!host) {
    MessageBox(nullptr, "Please setup Ptr to Main Window", "Kovatel Software",
               MB_OK | MB_ICONEXCLAMATION);
    return false;
  }
  *result = SendMessage(host, KVT_PROCESS_LOCK, op, reinterpret_cast<LPARAM>(request));
  return true;
}

LockRequestInfo Request(const char* szPackage, const char* szProcess) {
  LockRequestInfo r{};
  CopyName(r.szPackage, sizeof r.szPackage, szPackage);
  CopyName(r.szProcess, sizeof r.szProcess, szProcess);
  return r;
}

char* UserNumber(WPARAM op, char* out, std::size_t size, const char* szPackage,
                 const char* szProcess) {
  if (size == 0) return out;
  out[0] = '\0';
  LockRequestInfo r = Request(szPackage, szProcess);
  LRESULT result = 0;
  if (AskHost(op, &r, &result)) CopyName(out, size, r.szReturnString);
  return out;
}

}  // namespace

int KVTAcquireProcessLock(const char* szPackage, const char* szProcess) {
  LockRequestInfo r = Request(szPackage, szProcess);
  LRESULT result = 0;
  return AskHost(KVT_LOCK_ACQUIRE, &r, &result) && result != 0 ? 1 : 0;
}

void KVTReleaseProcessLock(const char* szPackage, const char* szProcess) {
  LockRequestInfo r = Request(szPackage, szProcess);
  LRESULT result = 0;
  AskHost(KVT_LOCK_RELEASE, &r, &result);
}

char* KVTGetProcessLockUserNumber(char* szUserNumber, std::size_t size, const char* szPackage,
                                  const char* szProcess) {
  return UserNumber(KVT_LOCK_OWNER_USER, szUserNumber, size, szPackage, szProcess);
}

char* KVTGetCurrentUserNumber(char* szUserNumber, std::size_t size) {
  return UserNumber(KVT_LOCK_CURRENT_USER, szUserNumber, size, "", "");
}

int POSNetworkLockTryCount() {
  if (g_lockTryCount < 0) {
    char value[KVT_SETTING_LEN];
    GetPrivateProfileString(PROGRAM_NAME, "NetworkLockTryCount", "10", value, sizeof value,
                            LOCAL_INI);
    g_lockTryCount = std::atoi(value);
    if (g_lockTryCount < 1 || g_lockTryCount > 5000) g_lockTryCount = 10;
  }
  return g_lockTryCount;
}

void KVTForgetNetworkLockTryCount() {
  g_lockTryCount = -1;
}

int POSAcquireProcessLock(const char* szProcess) {
  int tries = POSNetworkLockTryCount();
  for (int i = 0; i < tries; ++i)
    if (KVTAcquireProcessLock(PROGRAM_ABBR, szProcess)) return 1;
  return 0;
}

void POSReleaseProcessLock(const char* szProcess) {
  KVTReleaseProcessLock(PROGRAM_ABBR, szProcess);
}

// ---------------------------------------------------------------------------
// The sale window's instance id

namespace kvt::shell {

std::string InstanceIdName(int n) {
  std::string id(1, static_cast<char>('A' + n % 26));
  return n / 26 - 1 >= 0 ? InstanceIdName(n / 26 - 1) + id : id;
}

std::string InstanceLockName(const std::string& id) {
  return "INSTANCE_" + id;
}

std::string ClaimInstanceId() {
  for (int n = 0; n < kInstanceIds; ++n) {
    const std::string id = InstanceIdName(n), lock = InstanceLockName(id);
    if (!KVTAcquireProcessLock("POSSALES", lock.c_str())) continue;
    // Give a till that asked at the same moment time to be recorded, then
    // make sure the host holds the id for us and not for it.
    std::this_thread::sleep_for(std::chrono::milliseconds(250));
    char owner[1024], me[1024];
    KVTGetProcessLockUserNumber(owner, sizeof owner, "POSSALES", lock.c_str());
    KVTGetCurrentUserNumber(me, sizeof me);
    if (std::strcmp(owner, me) == 0) return id;
    KVTReleaseProcessLock("POSSALES", lock.c_str());
  }
  return "";
}

void ReleaseInstanceLock(const std::string& lockName) {
  if (!lockName.empty() && KVTReturnMDIWin()) KVTReleaseProcessLock("POSSALES", lockName.c_str());
}

}  // namespace kvt::shell
