// The database floor of a sale save (see floor.h).
#include "bench/floor.h"

#include <cstdio>

namespace kvt::bench {

const char kFloorHeaderSql[] =
    "INSERT INTO KVTPOS1 (INVOICENUM,RECNO,INVDATE,SALETIME,TILLREF,SLSMAN,STORE,SHIFT,TRANSTYPE,"
    "STATUS,CUSTREF,CUSTNAME,CASHAMT,CHECKAMT,CREDITAMT,CASHRET,CHARGEAMT,CHARGERET,FDSTMPAMT,"
    "CASHPAY,CHECKPAY,INVCTOTAL,AMTPAID,PYMTMETHOD,NETAMT,NONTAXAMT,DISCOUNT,CHANGE,CHECKNUM,"
    "CHECKACCT,CCNUMBER,CCEXPDATE,CCTYPE,CCAUTHNUM,PO,CREDITPAY,FSCHANGE,INVOICELNK,SALEDATE,"
    "TAXAMT,DOB,FPAMT,FPRET,FPCASHPAY,FPCHECKPAY,FPDBC,FPDBCDESC,FPCPN,FPCPNDESC,FPAUTHNUM,"
    "FPC2REF,FPREPAYTRM,FPTANDC,FPACCNUM,CREDITRET,GFTCRDAMT,GFTCRDPAY,GCTYPE,GCNUMBER,GCEXPDATE,"
    "GCAUTHNUM,CANEXCHG,CANAMT) VALUES (?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,"
    "?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?)";
const char kFloorLineSql[] =
    "INSERT INTO KVTPOS2 (INVREF,DESCR,QTYORDERED,PRICE,ENTRYTOTAL,FOODSTAMPS,TAXABLE,INVOICENUM,"
    "NUMCHANGE,TILLCODE,CATEGORY,DISCOUNT,COST,SERIALNUM,INVLOC,INVOICELNK,RECNO,ITEMLNK,PROMPT) "
    "VALUES (?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?)";
const char kFloorTaxSql[] =
    "INSERT INTO KVTPOS3 (INVOICENUM,TAXCODE,TAXRATE,TAXAMT,INVOICELNK,RECNO,ITEMLNK) VALUES "
    "(?,?,?,?,?,?,?)";

bool PrepareFloorSale(KVTConnection& c) {
  return c.PrepareSQL(kFloorHeaderSql) > 0 && c.PrepareSQL(kFloorLineSql) > 0 &&
         c.PrepareSQL(kFloorTaxSql) > 0;
}

bool SaveFloorSale(KVTConnection& c, long sale, double* recno, const char* tag) {
  char num[32], link[32], rn[32];
  std::snprintf(num, sizeof num, "%ld", sale);
  std::snprintf(link, sizeof link, "%ld%s", sale, tag);
  std::snprintf(rn, sizeof rn, "%.0f", ++*recno);
  const char* header[63];
  for (auto& h : header) h = "";
  header[0] = num;
  header[1] = rn;
  header[2] = "03/15/2024";
  header[3] = "10:42:07";
  header[4] = "1";
  header[5] = "100";
  header[6] = "MAIN";
  header[7] = "1";
  header[8] = "S";
  header[9] = "C";
  header[10] = "CASH";
  header[11] = "Cash Customer";
  header[12] = "107.48";
  header[21] = "107.48";
  header[22] = "110.00";
  header[23] = "1";
  header[24] = "100.00";
  header[27] = "2.52";
  header[37] = link;
  header[38] = "03/15/2024";
  header[39] = "7.48";
  bool ok = c.BeginTran(kFloorHeaderSql) > 0;
  for (int i = 0; ok && i < 63; ++i)
    ok = c.BindParam(kFloorHeaderSql, header[i],
                     i == 1                                      ? 2
                     : (i == 2 || i == 31 || i == 38 || i == 59) ? 3
                                                                 : 0) > 0;
  ok = ok && c.ExecuteSQL(kFloorHeaderSql) > 0;
  for (int line = 0; ok && line < 10; ++line) {
    std::snprintf(rn, sizeof rn, "%.0f", ++*recno);
    const char* values[19] = {"HX0412", "Hex Bolt 3/8 x2 Zinc",
                              "4",      "2.50",
                              "10.00",  "0",
                              "1",      num,
                              "0",      "",
                              "HDWR",   "",
                              "1.60",   "",
                              "01",     link,
                              rn,       rn,
                              ""};
    for (int i = 0; ok && i < 19; ++i)
      ok = c.BindParam(kFloorLineSql, values[i], (i == 5 || i == 6 || i == 16) ? 2 : 0) > 0;
    ok = ok && c.ExecuteSQL(kFloorLineSql) > 0;
    char taxRecno[32];
    std::snprintf(taxRecno, sizeof taxRecno, "%.0f", ++*recno);
    const char* tax[7] = {num, "KS", "6.500", "0.65", link, taxRecno, rn};
    for (int i = 0; ok && i < 7; ++i) ok = c.BindParam(kFloorTaxSql, tax[i], i == 5 ? 2 : 0) > 0;
    ok = ok && c.ExecuteSQL(kFloorTaxSql) > 0;
  }
  if (!ok) {
    c.CancelTran(kFloorHeaderSql);
    return false;
  }
  return c.CommitTran(kFloorHeaderSql) > 0;
}

void MeasureFloorSales(benchmark::State& state, long& sale, double& recno, const char* tag) {
  KVTConnection c(1);
  if (!PrepareFloorSale(c)) {
    state.SkipWithError(c.LastError());
    return;
  }
  for (auto _ : state) {
    if (!SaveFloorSale(c, ++sale, &recno, tag)) {
      state.SkipWithError(c.LastError());
      return;
    }
  }
}

}  // namespace kvt::bench
