// The host's named process locks (message 7003) as the module asks for them.
// Each call fills a LockRequestInfo and sends it to the host's MDI main
// window; without one it shows "Please setup Ptr to Main Window" and fails.
// The sale window's instance id is one of these locks.
#pragma once

#include <cstddef>
#include <string>

// Non-zero when this process got the lock (package, process) now.
int KVTAcquireProcessLock(const char* szPackage, const char* szProcess);
// Lets the lock go when this process holds it.
void KVTReleaseProcessLock(const char* szPackage, const char* szProcess);
// The user number of the lock's holder ("" when free) into szUserNumber
// (`size` bytes, cut to fit), returned.
char* KVTGetProcessLockUserNumber(char* szUserNumber, std::size_t size, const char* szPackage,
                                  const char* szProcess);
// The user number of this process, as the host knows it, into szUserNumber.
char* KVTGetCurrentUserNumber(char* szUserNumber, std::size_t size);

// The module's own locks (package PROGRAM_ABBR, "KVTPOS"). The acquire is
// tried up to POSNetworkLockTryCount() times at once, stopping at the first
// success; non-zero when the lock was had.
int POSAcquireProcessLock(const char* szProcess);
void POSReleaseProcessLock(const char* szProcess);
// "NetworkLockTryCount" of section PROGRAM_NAME in the local settings file
// (LOCAL_INI), read on first use and kept: default 10, and 10 for a value
// below 1 or above 5000.
int POSNetworkLockTryCount();
// Reads the setting again on next use (tests, a host reinitialising the module).
void KVTForgetNetworkLockTryCount();

namespace kvt::shell {

// Instance ids "A" to "ZZ": 702 sale windows at once across the tills of a
// database. A sale's link carries its window's id, so two windows saving at
// once never make the same link.
inline constexpr int kInstanceIds = 702;
// The id of instance number n: 0-25 "A".."Z", 26 "AA", 701 "ZZ".
std::string InstanceIdName(int n);
// The host lock that holds an id: "INSTANCE_<id>" of package "POSSALES".
std::string InstanceLockName(const std::string& id);
// Claims the first free id at the host and returns it; "" (nothing held)
// when every id is taken. An id the host then reports as another user's
// (a till that asked at the same moment) is let go and the next one tried.
std::string ClaimInstanceId();
// Lets a claimed id go, by its lock name. At shutdown the host may be gone
// already; its locks went with it, so nothing is asked.
void ReleaseInstanceLock(const std::string& lockName);

}  // namespace kvt::shell
