// The demo store grown to 100,000 items.
#include "bench/bigstore.h"

#include <cstdio>
#include <map>
#include <memory>

#include "platform/sql/kvtsql.h"
#include "platform/sql/query.h"
#include "schema/demo.h"
#include "schema/schema.h"
#include "tools/tempdb/tempdb.h"

namespace kvt::bench {
namespace {

// The demo store, then bulk items up to kBigStoreItems: every tenth with quantity
// breaks, every 23rd on promotion, every 50th with a dated price and cost.
bool GrowToFullSize(std::string* why) {
  kvt::sql::Result count = kvt::sql::Run("SELECT COUNT(1) AS N FROM KVTINV1");
  if (!count.ok()) {
    *why = count.error();
    return false;
  }
  int have = static_cast<int>(count.first().Num("N"));
  kvt::sql::Transaction tran;
  if (!tran.ok()) {
    *why = tran.error();
    return false;
  }
  kvt::schema::RowWriter w;
  double recno = 5e6;
  auto rn = [&] {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%.0f", ++recno);
    return std::string(buf);
  };
  bool ok = true;
  for (int i = have + 1; ok && i <= kBigStoreItems; ++i) {
    char ref[16], price[16], cost[16];
    std::snprintf(ref, sizeof ref, "BX%06d", i);
    std::snprintf(price, sizeof price, "%d.%02d", 1 + i % 90, (i * 37) % 100);
    std::snprintf(cost, sizeof cost, "%d.%02d", 1 + i % 60, (i * 11) % 100);
    ok = w.Insert("KVTINV1", {{"REFERENCE", ref},
                              {"DESCRIPT", std::string("Bulk item ") + ref},
                              {"TAXABLE", "Y"},
                              {"FARMUSE", "F"},
                              {"INACTIVE", "F"},
                              {"RECNO", rn()}}) &&
         w.Insert("KVTINV2", {{"REFERENCE", ref},
                              {"LOCATION", "01"},
                              {"LISTPRICE", price},
                              {"COST", cost},
                              {"QTYONHAND", "12"},
                              {"RECNO", rn()}});
    kvt::schema::Row pricing = {{"REFERENCE", ref},
                                {"LOCATION", "01"},
                                {"CSTRCAT", "HDWR"},
                                {"TAX1APP", "T"},
                                {"RECNO", rn()}};
    if (i % 10 == 0) {
      pricing.push_back({"PQTY1", "10"});
      pricing.push_back({"PUPRICE1", "1.00"});
    }
    if (i % 23 == 0) {
      pricing.push_back({"BEGINDATE", "01/01/2024"});
      pricing.push_back({"ENDDATE", "12/31/2030"});
      pricing.push_back({"PPRICE1", "0.99"});
    }
    ok = ok && w.Insert("KVTPRB1", pricing);
    if (ok && i % 50 == 0)
      ok = w.Insert("KVTINVRB", {{"REFERENCE", ref},
                                 {"LOCATION", "01"},
                                 {"STARTDATE", "01/01/2024"},
                                 {"ENDDATE", "12/31/2030"},
                                 {"RETAIL", "2.49"},
                                 {"RECNO", rn()}}) &&
           w.Insert("KVTINVCB", {{"REFERENCE", ref},
                                 {"LOCATION", "01"},
                                 {"STARTDATE", "01/01/2024"},
                                 {"ENDDATE", "12/31/2030"},
                                 {"COST", "1.10"},
                                 {"RECNO", rn()}});
  }
  if (!ok) {
    *why = w.error();
    return false;
  }
  if (tran.Commit()) return true;
  *why = tran.error();
  return false;
}

std::map<Target, std::unique_ptr<kvt::test::TempDatabase>>& Databases() {
  static std::map<Target, std::unique_ptr<kvt::test::TempDatabase>> dbs;
  return dbs;
}

}  // namespace

bool OpenBigStore(Target target, std::string* why) {
  auto& db = Databases()[target];
  if (!db) {
    auto backend =
        target == Target::Postgres ? kvt::test::Backend::PostgreSQL : kvt::test::Backend::SQLite;
    db = kvt::test::TempDatabase::Create(backend, why);
    if (!db) return false;
    if (!kvt::schema::LoadDemoStore(why) || !GrowToFullSize(why)) {
      db.reset();
      return false;
    }
  } else if (!db->Reopen()) {
    *why = KVTLastSqlError();
    return false;
  }
  return true;
}

void ForgetBigStores() {
  Databases().clear();
}

}  // namespace kvt::bench
