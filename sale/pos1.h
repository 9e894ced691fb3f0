// The sale entry screen ("Sale Items" tab): its field buffer, its grids and
// the state every sale operation works on. Pricing, tax, the line table and
// saving are members of this class, kept in files of their own (see the
// sections below).
#pragma once

#include <string>

#include "platform/forms/forms.h"
#include "platform/sql/kvtsql.h"

class KVTPOS1A;

// Field ids of the sale entry screen.
enum : int {
  IDC_IREF = 101,
  IDC_IDESCR = 102,
  IDC_QTYORDERED = 103,
  IDC_PRICE = 104,
  IDC_ENTRYTOTAL = 105,
  IDC_DATATBL1 = 106,  // the sale line grid
  IDC_INVOICENUM = 107,
  IDC_FOODSTAMPS = 108,
  IDC_TAXABLE = 109,
  IDC_TAXAUTH = 123,
  IDC_CATEGORY = 124,
  IDC_LOGINEMP = 125,
  IDC_TILLCODE = 127,
  IDC_COST = 128,
  IDC_SERIALNUM = 129,
  IDC_NUMCHANGE = 133,
  IDC_MIXNUM = 134,
  IDC_TAGALONG = 135,
  IDC_INVREF = 136,
  IDC_NONTAXCAT = 137,
  IDC_QTYPRICING = 138,
  IDC_TAGALGRATE = 139,
  IDC_FSTOTAL_DISPLAY = 140,
  IDC_REMAINTOTAL_DISPLAY = 141,
  IDC_TOTAL_DISPLAY = 142,
  IDC_TAXTOTAL_DISPLAY = 143,
  IDC_SECPRICE_HINT = 145,
  IDC_PROMPT = 146,
  IDC_DTOFBRTH = 149,
  IDC_SALE_TEXT = 150,
  IDC_RECNO = 163,
  IDC_TILLREF = 176,
  IDC_SHIFT = 177,
  IDC_EMPLOYEE = 178,
  IDC_STORE = 179,
  IDC_SHIFTDATE = 180,
  IDC_INVOICELNK = 181,
  IDC_FSTOTAL = 188,
  IDC_REMAINTOTAL = 189,
  IDC_TAXTOTAL = 190,
  IDC_TOTAL = 191,
  IDC_NONTAXAMT = 192,
  IDC_DISCOUNT = 193,
  IDC_TAXAMT = 204,
  IDC_TAXTBL = 205,  // the tax grid
};

// Columns of the sale line grid (0-based).
enum : int {
  COL_REF = 0,
  COL_DESCR = 1,
  COL_QTY = 2,
  COL_PRICE = 3,
  COL_AMOUNT = 4,  // "VOID" on a voided line
  COL_FS = 5,
  COL_ORDERNUM = 6,
  COL_NUMCHANGE = 7,
  COL_RECNO = 8,  // the line's record number, its item link
  COL_TILLCODE = 9,
  COL_TAXABLE = 10,
  COL_LOCATION = 11,
  COL_CATEGORY = 12,
  COL_DISCOUNT = 13,
  COL_COST = 14,
  COL_SERIALNUM = 15,
  COL_MIXNUM = 16,
  COL_TAGALONG = 17,
  COL_NONTAXCAT = 18,
  COL_INVREF = 19,
  COL_QTYPRICING = 20,
  COL_TAGALGRATE = 21,
  COL_PROMPT = 22,
  SALE_GRID_COLUMNS = 23,
};

// Columns of the tax grid.
enum : int {
  TAXCOL_CODE = 0,
  TAXCOL_RATE = 1,
  TAXCOL_MAXAMT = 2,
  TAXCOL_AMOUNT = 3,
  TAXCOL_ITEMLINK = 4,
};

struct PVpos1Data {
  char IREF[16];
  char IDESCR[31];
  char QTYORDERED[11];
  char PRICE[11];
  char ENTRYTOTAL[16];
  char NUMCHANGE[81];
  double RECNO;
  char INVOICENUM[81];
  char TILLREF[81];
  char SHIFT[81];
  char EMPLOYEE[81];
  char STORE[81];
  char SHIFTDATE[81];
  char FOODSTAMPS[16];
  char TAXABLE[16];
  char TAXAMT[81];
  char FSTOTAL[81];
  char REMAINTOTAL[81];
  char TAXTOTAL[81];
  char TOTAL[81];
  char TAXAUTH[81];
  char CATEGORY[81];
  char LOGINEMP[81];
  char TILLCODE[81];
  char COST[81];
  char SERIALNUM[81];
  char DISCOUNT[81];
  char NONTAXAMT[81];
  char MIXNUM[81];
  char TAGALONG[81];
  char INVREF[81];
  char NONTAXCAT[81];
  char QTYPRICING[81];
  char TAGALGRATE[81];
  char INVOICELNK[81];
  char PROMPT[81];
  char DTOFBRTH[81];
};

class PVpos1Dlg : public KVTPropertyPage {
 public:
  explicit PVpos1Dlg(HWND parent);
  ~PVpos1Dlg() override;

  // The form of the screen: every field of the buffer, the two grids, the
  // total displays and the key-help lines.
  static const KVTFormDecl& FormDecl();

  PVpos1Data Data{};
  KVTConnection FConn{1};

  TDataTbl& SaleGrid() { return *Grid(IDC_DATATBL1); }
  TDataTbl& TaxGrid() { return *Grid(IDC_TAXTBL); }

  // ---- Screen state ------------------------------------------------------
  char szPayOnAcct[2] = "N";
  char szCashCheck[2] = "N";
  char szVoidTheSale[2] = "N";
  int OrderHasItems = 0;
  int Mode = 0;  // 0 entering items, 1 editing lines in the grid
  int EnteringItem = 0;
  int SecPriceAvail = 0;
  char szProvinceFarmSalesTaxRemoved[50] = "0";
  bool bTOTAMT = false;
  char szUnitDec[50] = "";
  bool bDescriptionEdittable = false;
  bool bPromptOnQty = false;
  bool bPromptOnPrice = false;
  bool bPromptOnAmount = false;
  bool bAllowOnlyZeroPriceChanges = false;
  bool bAllowZeroUnitsSold = false;
  bool bNegativePrice = false;
  bool bTillCodeSold = false;
  bool bErrorInEntryTotal = false;
  bool bTillCodePriceZero = false;
  std::string szCustRef;
  std::string sProcessLockID;
  std::string sInstanceID;
  KVTPOS1A* VerifyPOS1File = nullptr;

  // ---- Price determination (pricing/pos1c.cpp) ---------------------------

  // ---- Mix-and-match (pricing/pos1g.cpp) ---------------------------------

  // ---- Tax (pricing/pos1d.cpp) -------------------------------------------

  // ---- Sale totals and lines (sale/pos1a.cpp) ----------------------------

  // ---- Saving (sale/pos1b.cpp) -------------------------------------------

  // ---- Instance id (pricing/locks.cpp) -----------------------------------
  // Ids "A" to "ZZ": 702 sale windows at once across the tills of a database.
  static constexpr int kInstanceIDs = 702;
  // Claims the first free id for this window: the process lock
  // "INSTANCE_<id>" of package "POSSALES" at the host, kept in sProcessLockID
  // and sInstanceID. False, both empty, when every id is taken.
  bool SetInstanceID();
  // The id of instance number n into sInstanceID (emptied first when
  // `reset`), returned: 0-25 "A".."Z", 26 "AA", 701 "ZZ".
  std::string BuildInstanceID(int n, bool reset);
  // Lets the claimed id go; the screen does this when it is destroyed.
  void ReleaseInstanceID();
  // Ends the till shift's open-shift record in KVTPOS9 (close-out and the
  // till-side transfer); its result is not checked (backoffice/login.cpp).
  void RemoveLoginInfo(const char* szStore, const char* szShiftDate, const char* szTillRef,
                       const char* szShift);
};
