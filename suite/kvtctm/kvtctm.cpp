// The transfer module stand-in: its menu entries for the C-Store back
// office, and the direct transfer of a group of saved sales to accounting
// ("DoKVTPOSDirectTransfer"): the group's sales are posted as a batch of
// sales tickets of their own (KVTCTMST; stock and category history were
// moved at the till when each sale was saved) and each sale gets the
// transfer number in TRANSNUM, all in one transaction. A re-transfer
// replaces the tickets its sales were posted with before.
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "platform/base/export.h"
#include "platform/forms/msgbox.h"
#include "platform/sql/kvtsql.h"
#include "platform/sql/query.h"
#include "platform/win/moduleevent.h"
#include "platform/win/profile.h"
#include "suite/kvtctm/archive.h"

namespace sql = kvt::sql;

namespace {

void NotHere(HWND hWnd, const char* what) {
  std::string text = std::string(what) +
                     " are kept in the C-Store office system, which is not "
                     "installed here.";
  MessageBox(hWnd, text.c_str(), "Kovatel Software", MB_OK | MB_ICONINFORMATION);
}

struct Request {
  std::string date, store, shift, till, batch, trnST;
  bool retransfer = false;
};

// The group's sales: the store's till on that day, one shift or all.
std::string GroupWhere(const Request& r) {
  std::string where = " WHERE STORE = ? AND INVDATE = ? AND TILLREF = ? AND STATUS <> 'S'";
  if (!r.shift.empty()) where += " AND SHIFT = ?";
  where += r.retransfer ? " AND TRANSNUM > ''" : " AND (TRANSNUM = '' OR TRANSNUM IS NULL)";
  return where;
}

std::vector<sql::Value> GroupValues(const Request& r, std::vector<sql::Value> first = {}) {
  first.push_back(sql::Text(r.store));
  first.push_back(sql::Date(r.date));
  first.push_back(sql::Text(r.till));
  if (!r.shift.empty()) first.push_back(sql::Text(r.shift));
  return first;
}

bool Fail(KVTEventObject* object, const std::string& text) {
  KVTSetEventText(object->ErrorString, text);
  return false;
}

bool Transfer(const Request& r, KVTEventObject* object) {
  sql::Transaction unit;
  if (!unit.ok()) return Fail(object, "The transfer could not begin: " + unit.error());
  sql::Result sales =
      sql::Run("SELECT INVOICENUM, INVOICELNK, CUSTREF, INVCTOTAL, SHIFT, TRANSNUM FROM KVTPOS1" +
                   GroupWhere(r) + " ORDER BY INVOICENUM",
               GroupValues(r));
  if (!sales.ok()) return Fail(object, "The sales could not be read: " + sales.error());
  if (sales.found() == sql::Found::No)
    return Fail(object, "There are no sales to transfer for store " + r.store + ", till " + r.till +
                            " on " + r.date + ".");
  std::set<std::string> earlier;
  for (const sql::Row& s : sales.rows())
    if (!s["TRANSNUM"].empty()) earlier.insert(s["TRANSNUM"]);
  for (const std::string& t : earlier) {
    sql::Result gone = sql::Run("DELETE FROM KVTCTMST WHERE TRANSNUM = ?", {sql::Text(t)});
    if (!gone.ok())
      return Fail(object, "The earlier tickets could not be removed: " + gone.error());
  }
  double number = NextNum(1, "KVTCTMST", 1);
  if (number <= 0) return Fail(object, std::string("No transfer number: ") + KVTLastSqlError());
  char transnum[32];
  std::snprintf(transnum, sizeof transnum, "T%07.0f", number);
  if (r.trnST == "T") {
    for (const sql::Row& s : sales.rows()) {
      double recno = NextNum(1, "KVTCTMST", 1);
      sql::Result posted = sql::Run(
          "INSERT INTO KVTCTMST (TRANSNUM, BATCH, STORE, INVDATE, TILLREF, SHIFT, INVOICENUM, "
          "INVOICELNK, CUSTREF, AMOUNT, RECNO) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)",
          {sql::Text(transnum), sql::Text(r.batch), sql::Text(r.store), sql::Date(r.date),
           sql::Text(r.till), sql::Text(s["SHIFT"]), sql::Text(s["INVOICENUM"]),
           sql::Text(s["INVOICELNK"]), sql::Text(s["CUSTREF"]), sql::Text(s["INVCTOTAL"]),
           sql::Number(recno)});
      if (recno <= 0 || !posted.ok())
        return Fail(object, "The sales tickets could not be posted: " + posted.error());
    }
  }
  sql::Result marked = sql::Run("UPDATE KVTPOS1 SET TRANSNUM = ?" + GroupWhere(r),
                                GroupValues(r, {sql::Text(transnum)}));
  if (!marked.ok()) return Fail(object, "The sales could not be marked: " + marked.error());
  if (!unit.Commit()) return Fail(object, "The transfer could not be saved: " + unit.error());
  return true;
}

std::string WithSlash(std::string dir) {
  if (!dir.empty() && dir.back() != '/' && dir.back() != '\\') dir += '/';
  return dir;
}

// The till's exchange directory and connection type; false with the error
// in the event object.
bool TillLink(const std::string& store, const std::string& till, std::string* contype,
              std::string* path, KVTEventObject* object) {
  sql::Result r =
      sql::Run("SELECT CONTYPE, CONPATH FROM KVTCOM14 WHERE STOREREF = ? AND TILLNUM = ?",
               {sql::Text(store), sql::Text(till)});
  if (r.found() == sql::Found::Failed)
    return Fail(object, "The till's connection could not be read: " + r.error());
  if (r.found() == sql::Found::No)
    return Fail(object, "Store " + store + " Till " + till + " is not set up.");
  *contype = r.first()["CONTYPE"];
  *path = WithSlash(r.first()["CONPATH"]);
  return true;
}

// Where imported files are kept: "ArchivePath" of section "KVTCTM" in the
// local settings file, by default the folder "ARCHIVE" here; made when
// missing.
bool ArchiveDirectory(std::string* dir, KVTEventObject* object) {
  char buf[512];
  GetPrivateProfileString("KVTCTM", "ArchivePath", "ARCHIVE", buf, sizeof buf, "kvtlocal.ini");
  *dir = WithSlash(buf);
  std::error_code ec;
  std::filesystem::create_directories(*dir, ec);
  if (ec) return Fail(object, "The archive directory " + *dir + " cannot be made: " + ec.message());
  return true;
}

// Off a direct connection the group goes into a sales file; its sales are
// marked exported only once the file is in place.
bool Export(const Request& r, const std::string& exchange, KVTEventObject* object) {
  if (exchange.empty())
    return Fail(object,
                "No exchange path is set up for store " + r.store + " till " + r.till + ".");
  sql::Transaction unit;
  if (!unit.ok()) return Fail(object, "The export could not begin: " + unit.error());
  std::string path, error;
  int count = 0;
  if (!kvt::ctm::WriteSalesArchive(exchange, r.store, r.till, r.shift, r.date, &path, &count,
                                   &error))
    return Fail(object, error);
  double number = NextNum(1, "KVTCTMST", 1);
  char transnum[32];
  std::snprintf(transnum, sizeof transnum, "E%07.0f", number);
  sql::Result marked = number > 0 ? sql::Run("UPDATE KVTPOS1 SET TRANSNUM = ?" + GroupWhere(r),
                                             GroupValues(r, {sql::Text(transnum)}))
                                  : sql::Result::Failure(KVTLastSqlError());
  if (!marked.ok()) {
    std::remove(path.c_str());
    return Fail(object, "The sales could not be marked exported: " + marked.error());
  }
  if (!unit.Commit()) {
    std::remove(path.c_str());
    return Fail(object, "The export could not be saved: " + unit.error());
  }
  return true;
}

// Imports one sales file and moves it to the archive (unless it is there).
bool ToArchive(const std::string& file, KVTEventObject* object);

bool AcquireSales(const std::string& file, KVTEventObject* object) {
  std::string archive, error;
  if (!ArchiveDirectory(&archive, object)) return false;
  int count = 0;
  if (!kvt::ctm::ImportSalesArchive(file, &count, &error)) return Fail(object, error);
  return ToArchive(file, object);
}

std::string Today() {
  std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  char text[48];
  std::snprintf(text, sizeof text, "%.2d/%.2d/%.4d", local.tm_mon + 1, local.tm_mday,
                local.tm_year + 1900);
  return text;
}

// The update files of one till, or of every till that exchanges files.
bool CreateUpdate(const std::string& store, const std::string& till, KVTEventObject* object) {
  sql::Result tills =
      store.empty() && till.empty()
          ? sql::Run(
                "SELECT STOREREF, TILLNUM, CONPATH FROM KVTCOM14 WHERE CONTYPE <> 'D' ORDER BY "
                "STOREREF, TILLNUM")
          : sql::Run(
                "SELECT STOREREF, TILLNUM, CONPATH FROM KVTCOM14 WHERE STOREREF = ? AND "
                "TILLNUM = ?",
                {sql::Text(store), sql::Text(till)});
  if (!tills.ok()) return Fail(object, "The tills could not be read: " + tills.error());
  if (tills.found() == sql::Found::No)
    return Fail(object, store.empty() ? "No till exchanges files with the office."
                                      : "Store " + store + " Till " + till + " is not set up.");
  for (const sql::Row& t : tills.rows()) {
    if (t["CONPATH"].empty())
      return Fail(object, "No exchange path is set up for store " + t["STOREREF"] + " till " +
                              t["TILLNUM"] + ".");
    std::string path, error;
    if (!kvt::ctm::WriteUpdateArchive(WithSlash(t["CONPATH"]), t["STOREREF"], t["TILLNUM"], Today(),
                                      &path, &error))
      return Fail(object, error);
  }
  return true;
}

// Moves an imported file to the archive (unless it is there already).
bool ToArchive(const std::string& file, KVTEventObject* object) {
  std::string archive;
  if (!ArchiveDirectory(&archive, object)) return false;
  namespace fs = std::filesystem;
  std::error_code ec;
  fs::path from(file), to = fs::path(archive) / from.filename();
  if (fs::equivalent(from.parent_path().empty() ? "." : from.parent_path(), archive, ec))
    return true;
  fs::rename(from, to, ec);
  if (ec) {  // another drive: copy, then remove
    ec.clear();
    fs::copy_file(from, to, fs::copy_options::overwrite_existing, ec);
    if (!ec) fs::remove(from, ec);
  }
  if (ec)
    return Fail(object, "The file was imported, but " + file +
                            " could not be moved to the archive: " + ec.message());
  return true;
}

}  // namespace

KVT_EXTERN_C void ProductSalesCatMENU(HWND hWnd) {
  NotHere(hWnd, "Product sales categories");
}
KVT_EXTERN_C void EditFieldlineChargesMENU(HWND hWnd) {
  NotHere(hWnd, "Field-line charges");
}

KVT_EXTERN_C int KVTInterface_HandleEvent(const char* event, int version, KVTEventObject* object) {
  if (!object) return 0;
  if (version != KVT_EVENT_VERSION) {
    KVTSetEventText(object->ErrorString, "This version is incompatible with the installed module.");
    return 0;
  }
  std::string name = event ? event : "";
  if (name == "KVTInitializeEvent" || name == "KVTDestroyEvent") return 1;
  if (name == "QueryVersion") {
    object->iParam1 = 1;
    return 1;
  }
  if (name == "DoKVTPOSDirectTransfer") {
    Request r;
    std::string date = KVTEventItem(object->Param1, "01");  // MMDDYYYY
    r.date = date.size() == 8 ? date.substr(0, 2) + "/" + date.substr(2, 2) + "/" + date.substr(4)
                              : date;
    r.store = KVTEventItem(object->Param1, "02");
    r.shift = KVTEventItem(object->Param1, "03");
    r.till = KVTEventItem(object->Param1, "04");
    r.batch = KVTEventItem(object->Param1, "05");
    r.retransfer = KVTEventItem(object->Param1, "06") == "Y";
    r.trnST = KVTEventItem(object->Param1, "07");
    std::string contype, exchange;
    sql::Result link =
        sql::Run("SELECT CONTYPE, CONPATH FROM KVTCOM14 WHERE STOREREF = ? AND TILLNUM = ?",
                 {sql::Text(r.store), sql::Text(r.till)});
    if (!link.ok()) {
      Fail(object, "The till's connection could not be read: " + link.error());
      return 0;
    }
    if (link.found() == sql::Found::Yes) contype = link.first()["CONTYPE"];
    if (!contype.empty() && contype != "D" && !r.retransfer)
      return Export(r, WithSlash(link.first()["CONPATH"]), object) ? 1 : 0;
    return Transfer(r, object) ? 1 : 0;
  }
  if (name == "DoKVTPOSGetCompressionDirectory") {
    std::string contype, path;
    if (!TillLink(KVTEventItem(object->Param1, "01"), KVTEventItem(object->Param1, "02"), &contype,
                  &path, object))
      return 0;
    if (path.empty()) {
      Fail(object, "No exchange path is set up for store " + KVTEventItem(object->Param1, "01") +
                       " till " + KVTEventItem(object->Param1, "02") + ".");
      return 0;
    }
    KVTSetEventText(object->Param2, path);
    return 1;
  }
  if (name == "DoKVTPOSGetArchiveDirectory") {
    std::string dir;
    if (!ArchiveDirectory(&dir, object)) return 0;
    KVTSetEventText(object->Param2, dir);
    return 1;
  }
  if (name == "DoKVTPOSCreateUpdate")
    return CreateUpdate(KVTEventItem(object->Param1, "01"), KVTEventItem(object->Param1, "02"),
                        object)
               ? 1
               : 0;
  if (name == "DoKVTPOSUpdateFromUpload") {
    // A till on the office database has nothing to read from a file.
    std::string file = KVTEventItem(object->Param1, "03"), error;
    if (file.empty()) return 1;
    if (!kvt::ctm::ImportUpdateArchive(file, &error)) {
      Fail(object, error);
      return 0;
    }
    return ToArchive(file, object) ? 1 : 0;
  }
  if (name == "DoKVTPOSAcquireSales")
    return AcquireSales(KVTEventItem(object->Param1, "01"), object) ? 1 : 0;
  KVTSetEventText(object->ErrorString, "The transfer module does not offer " + name + ".");
  return 0;
}
