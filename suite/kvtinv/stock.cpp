// Inventory module stand-in: locking items and moving their stock for a sale.
#include "suite/kvtinv/stock.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <map>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

#include "platform/base/kvtbase.h"

namespace {

constexpr int kVersion = 1;

// What a lock's holder asked to change, written when the lock ends: one
// statement for the row instead of one for each request.
struct Pending {
  std::string quantity;   // the move of the quantity on hand, "" for none
  std::string lastSale;   // "" for none
  bool rowLocked = true;  // false: the unlock's statement takes the row lock
};

// Items this process has locked, by item and location.
std::mutex locksMutex;
std::map<std::pair<std::string, std::string>, Pending> locked;

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

// Touching the row takes the database's row lock, held until the caller's
// transaction ends: no other till moves this stock meanwhile.
bool TouchRow(KVTConnection* conn, const std::vector<std::string>& f, const Reply& r) {
  static const char sql[] =
      "UPDATE KVTINV2 SET QTYONHAND = QTYONHAND WHERE REFERENCE = ? AND LOCATION = ?";
  std::string why;
  long rows = Change(conn, sql, {{f[0], 0}, {f[1], 0}}, &why);
  if (rows < 0) return r.Fail("Item " + f[0] + " could not be locked: " + why);
  if (rows == 0) return r.Fail(NotStocked(f[0], f[1]));
  return true;
}

int Lock(KVTConnection* conn, const std::vector<std::string>& f, const Reply& r) {
  if (f.size() < 2 || f[0].empty()) return r.Fail("LOCKLOCATION needs an item and a location.");
  // While the caller's changes are queued, whether the row is there is not
  // known now anyway: the unlock's one statement locks the row and answers
  // for both, a statement and a row version less for every item of a sale.
  Pending held;
  held.rowLocked = !KVTChangesQueued();
  if (held.rowLocked && !TouchRow(conn, f, r)) return 0;
  std::lock_guard<std::mutex> hold(locksMutex);
  locked[{f[0], f[1]}] = held;
  return 1;
}

int Unlock(KVTConnection* conn, const std::vector<std::string>& f, const Reply& r) {
  if (f.size() < 2) return r.Fail("UNLOCKLOCATION needs an item and a location.");
  Pending p;
  {
    std::lock_guard<std::mutex> hold(locksMutex);
    auto held = locked.find({f[0], f[1]});
    if (held == locked.end())
      return r.Fail("Item " + f[0] + " at location " + f[1] + " is not locked.");
    p = held->second;
    locked.erase(held);
  }
  std::string set;
  std::vector<std::pair<std::string, int>> params;
  if (!p.quantity.empty()) {
    set = "QTYONHAND = LTRIM(STR(NUMVAL(QTYONHAND)+(?),15,3))";
    params.push_back({p.quantity, 2});
  }
  if (!p.lastSale.empty()) {
    set += std::string(set.empty() ? "" : ", ") + "LASTSALE = ?";
    params.push_back({p.lastSale, 3});
  }
  if (set.empty()) return p.rowLocked || TouchRow(conn, f, r) ? 1 : 0;
  params.insert(params.end(), {{f[0], 0}, {f[1], 0}});
  const std::string sql = "UPDATE KVTINV2 SET " + set + " WHERE REFERENCE = ? AND LOCATION = ?";
  std::string why;
  long rows = Change(conn, sql.c_str(), params, &why);
  if (rows < 0) return r.Fail("The stock of item " + f[0] + " was not updated: " + why);
  if (rows == 0) return r.Fail(NotStocked(f[0], f[1]));
  return 1;
}

// The pending change of a locked item, null when it is not locked.
Pending* Held(const std::string& item, const std::string& location) {
  auto held = locked.find({item, location});
  return held == locked.end() ? nullptr : &held->second;
}

int UpdateInventory(const std::vector<std::string>& f, const Reply& r) {
  if (f.size() < 8) return r.Fail("UPDATEINVENTORY needs item, location, quantities and amounts.");
  for (std::size_t i = 2; i < 8; ++i)
    if (!IsNumber(f[i])) return r.Fail("UPDATEINVENTORY: \"" + f[i] + "\" is not a number.");
  std::lock_guard<std::mutex> hold(locksMutex);
  Pending* p = Held(f[0], f[1]);
  if (!p) return r.Fail("Item " + f[0] + " at location " + f[1] + " is not locked.");
  if (p->quantity.empty()) {
    p->quantity = f[2];
  } else {
    char sum[64];
    std::snprintf(sum, sizeof sum, "%.5f",
                  std::strtod(p->quantity.c_str(), nullptr) + std::strtod(f[2].c_str(), nullptr));
    p->quantity = sum;
  }
  return 1;
}

int UpdateLastSaleDate(const std::vector<std::string>& f, const Reply& r) {
  if (f.size() < 3) return r.Fail("UPDATELASTSALEDATE needs item, location and date.");
  // A date the database would refuse is caught here, so it cannot cancel the
  // caller's transaction.
  if (MakeDateYYYYMMDD(f[2].c_str()) == 0) return r.Fail("\"" + f[2] + "\" is not a date.");
  std::lock_guard<std::mutex> hold(locksMutex);
  Pending* p = Held(f[0], f[1]);
  if (!p) return r.Fail("Item " + f[0] + " at location " + f[1] + " is not locked.");
  p->lastSale = f[2];
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
  if (cmd == "UNLOCKLOCATION") return Unlock(conn, f, r);
  if (cmd == "UPDATEINVENTORY") return UpdateInventory(f, r);
  if (cmd == "UPDATELASTSALEDATE") return UpdateLastSaleDate(f, r);
  return r.Fail("Unknown inventory request \"" + cmd + "\".");
}
