// Inventory module stand-in: locking items and moving their stock for a sale.
#include "suite/kvtinv/stock.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "platform/base/kvtbase.h"

namespace {

constexpr int kVersion = 1;

// Items this process has locked, by item and location.
std::mutex locksMutex;
std::set<std::pair<std::string, std::string>> locked;

struct Reply {
  char* buf;
  unsigned len;
  int Fail(const std::string& text) const {
    if (buf && len) KVTsprintf(buf, len, "%s", text.c_str());
    return 0;
  }
};

std::vector<std::string> Fields(const char* request) {
  std::vector<std::string> out;
  std::string all = request ? request : "";
  std::size_t start = 0;
  for (;;) {
    std::size_t tab = all.find('\t', start);
    out.push_back(all.substr(start, tab == std::string::npos ? std::string::npos : tab - start));
    if (tab == std::string::npos) break;
    start = tab + 1;
  }
  return out;
}

bool IsNumber(const std::string& text) {
  if (text.empty()) return false;
  char* end = nullptr;
  errno = 0;
  std::strtod(text.c_str(), &end);
  return errno == 0 && end && *end == '\0';
}

bool IsLocked(const std::string& item, const std::string& location) {
  std::lock_guard<std::mutex> hold(locksMutex);
  return locked.count({item, location}) > 0;
}

// Runs one statement on the caller's holder (or one of our own): the rows
// changed, or -1 when it failed (the reason in *why).
long Change(KVTConnection* given, const char* stmt,
            const std::vector<std::pair<std::string, int>>& params, std::string* why) {
  KVTConnection own(1);
  KVTConnection& c = given ? *given : own;
  bool ok = c.PrepareSQL(stmt) > 0;
  for (const auto& p : params) ok = ok && c.BindParam(stmt, p.first.c_str(), p.second) > 0;
  ok = ok && c.ExecuteSQL(stmt) > 0;
  if (!ok) {
    *why = c.LastError();
    return -1;
  }
  return c.RowsAffected(stmt);
}

std::string NotStocked(const std::string& item, const std::string& location) {
  return "Item " + item + " is not stocked at location " + location + ".";
}

int Lock(KVTConnection* conn, const std::vector<std::string>& f, const Reply& r) {
  if (f.size() < 2 || f[0].empty()) return r.Fail("LOCKLOCATION needs an item and a location.");
  // Touching the row takes the database's row lock, held until the caller's
  // transaction ends: no other till moves this stock meanwhile.
  static const char sql[] =
      "UPDATE KVTINV2 SET QTYONHAND = QTYONHAND WHERE REFERENCE = ? AND LOCATION = ?";
  std::string why;
  long rows = Change(conn, sql, {{f[0], 0}, {f[1], 0}}, &why);
  if (rows < 0) return r.Fail("Item " + f[0] + " could not be locked: " + why);
  if (rows == 0) return r.Fail(NotStocked(f[0], f[1]));
  std::lock_guard<std::mutex> hold(locksMutex);
  locked.insert({f[0], f[1]});
  return 1;
}

int Unlock(const std::vector<std::string>& f, const Reply& r) {
  if (f.size() < 2) return r.Fail("UNLOCKLOCATION needs an item and a location.");
  std::lock_guard<std::mutex> hold(locksMutex);
  if (!locked.erase({f[0], f[1]}))
    return r.Fail("Item " + f[0] + " at location " + f[1] + " is not locked.");
  return 1;
}

int UpdateInventory(KVTConnection* conn, const std::vector<std::string>& f, const Reply& r) {
  if (f.size() < 8) return r.Fail("UPDATEINVENTORY needs item, location, quantities and amounts.");
  for (std::size_t i = 2; i < 8; ++i)
    if (!IsNumber(f[i])) return r.Fail("UPDATEINVENTORY: \"" + f[i] + "\" is not a number.");
  if (!IsLocked(f[0], f[1]))
    return r.Fail("Item " + f[0] + " at location " + f[1] + " is not locked.");
  static const char sql[] =
      "UPDATE KVTINV2 SET QTYONHAND = LTRIM(STR(NUMVAL(QTYONHAND)+(?),15,3)) WHERE REFERENCE = ? "
      "AND LOCATION = ?";
  std::string why;
  long rows = Change(conn, sql, {{f[2], 2}, {f[0], 0}, {f[1], 0}}, &why);
  if (rows < 0) return r.Fail("The quantity of item " + f[0] + " was not updated: " + why);
  if (rows == 0) return r.Fail(NotStocked(f[0], f[1]));
  return 1;
}

int UpdateLastSaleDate(KVTConnection* conn, const std::vector<std::string>& f, const Reply& r) {
  if (f.size() < 3) return r.Fail("UPDATELASTSALEDATE needs item, location and date.");
  // A date the database would refuse is caught here, so it cannot cancel the
  // caller's transaction.
  if (MakeDateYYYYMMDD(f[2].c_str()) == 0) return r.Fail("\"" + f[2] + "\" is not a date.");
  if (!IsLocked(f[0], f[1]))
    return r.Fail("Item " + f[0] + " at location " + f[1] + " is not locked.");
  static const char sql[] = "UPDATE KVTINV2 SET LASTSALE = ? WHERE REFERENCE = ? AND LOCATION = ?";
  std::string why;
  long rows = Change(conn, sql, {{f[2], 3}, {f[0], 0}, {f[1], 0}}, &why);
  if (rows < 0) return r.Fail("The last sale date of item " + f[0] + " was not updated: " + why);
  if (rows == 0) return r.Fail(NotStocked(f[0], f[1]));
  return 1;
}

}  // namespace

int SendDLLMessageB(HWND, KVTConnection* conn, const char* command, const char* request, char*,
                    unsigned, char* errorBuf, unsigned errorLen) {
  Reply r{errorBuf, errorLen};
  std::string cmd = command ? command : "";
  if (cmd == "GETVERSION") return kVersion;
  std::vector<std::string> f = Fields(request);
  if (cmd == "LOCKLOCATION") return Lock(conn, f, r);
  if (cmd == "UNLOCKLOCATION") return Unlock(f, r);
  if (cmd == "UPDATEINVENTORY") return UpdateInventory(conn, f, r);
  if (cmd == "UPDATELASTSALEDATE") return UpdateLastSaleDate(conn, f, r);
  return r.Fail("Unknown inventory request \"" + cmd + "\".");
}
