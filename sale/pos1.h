// The sale entry screen ("Sale Items" tab): its field buffer, its grids and
// the state every sale operation works on. Pricing, tax, the line table and
// saving are members of this class, kept in files of their own (see the
// sections below).
#pragma once

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/forms/forms.h"
#include "platform/sql/kvtsql.h"
#include "platform/sql/query.h"
#include "sale/keytable.h"
#include "sale/lines.h"
#include "sale/writer.h"
#include "shell/locks.h"

class KVTPOS1A;
class CSerialPort;

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
  // What kind of transaction the total tab is to finish ("Y"/"N").
  char szPayOnAcct[2] = "N";
  char szCashCheck[2] = "N";
  char szVoidTheSale[2] = "N";
  int OrderHasItems = 0;
  int Mode = 0;          // 0 entering items, 1 editing lines in the grid
  int EnteringItem = 0;  // an item is half keyed
  int SecPriceAvail = 0;
  char szProvinceFarmSalesTaxRemoved[50] = "0";
  bool bTOTAMT = false;  // the item keyed is sold by amount
  char szUnitDec[50] = "";
  // What the item being keyed asks of the cashier (SetPromptFlags).
  bool bDescriptionEdittable = false;
  bool bPromptOnQty = false;
  bool bPromptOnPrice = false;
  bool bPromptOnAmount = false;
  bool bAllowOnlyZeroPriceChanges = false;
  bool bAllowZeroUnitsSold = false;
  bool bNegativePrice = false;
  bool bTillCodeSold = false;
  bool bErrorInEntryTotal = false;
  // The customer's age was checked in this sale, for tobacco and alcohol.
  bool bPromptIDTobacco = false;
  bool bPromptIDAlcohol = false;
  char szCustRef[50] = "";
  bool bTillCodePriceZero = false;
  std::string sMixedPOAAmt;
  // What the payment tab leaves here: a check was tendered (only the first
  // receipt validates it), and the discount on a payment on account.
  int CheckPymt = 0;
  bool bUseDisc = false;
  double dDiscount = 0;
  char szUseDiscCat[50] = "";
  // The financing and card module, asked once at set-up.
  bool bCrestpayInstalled = false;
  bool bFarmPlanAccepted = false;
  bool bCrestpayCreditCardsAccepted = false;
  bool bFarmPlanPayment = false;
  std::string sProcessLockID;
  std::string sInstanceID;
  KVTPOS1A* VerifyPOS1File = nullptr;

  // ---- The sale screen and its sale-level operations (sale/pos1.cpp) -----
  // The till's set-up and the flow through an item's fields belong to the
  // sale window that a login opens (a page of its tabs); the screen made on
  // its own, to work on its lines, prices and saving, is just the form.
  // A fresh, empty sale; asks the employee first with CFG_ENTERSALESREP.
  void NewOrder();
  // Lays out the form: debug fields, the price field.
  void InitForm();
  // Line edit mode on (command 8000) and off (command 9000).
  void EditItems();
  void EnterItems();
  // F10: on to the "Sale Total" tab (command 6000, DoSelectTab).
  void TotalSale();
  void DoSelectTab();
  void PymtOnAcct();
  void CashCheck();
  void VoidThisSale();
  void SuspendItems();
  void NoSale();
  void CloseOutTill();
  // The login of a dedicated till, opened on the host's window once this
  // window has closed (sale/pos1s.cpp).
  void LoginAfterClose();
  // The end of a shift, shared by the close-out and the close with transfer:
  // parked sales voided (false: the cashier kept them), drawer, close-out
  // report, open-shift row removed; then the window closes and a dedicated
  // till opens the login for the next cashier.
  bool EndShift();
  void CloseForNextCashier();
  // Ctrl+F3: the shift is closed (transfer password, question, parked sales
  // voided, close-out printed, open-shift record ended) and its sales not
  // yet transferred go to accounting through the transfer module's form;
  // then the window closes (sale/pos1t.cpp).
  void Transfer();
  // Returned sales ("H", "C", "A") carry negative quantities; every
  // non-void amount is quantity times price again.
  void CheckItemQtys(const char* status);
  // Command 5000: who is making the sale (PVempidDlg) into EMPLOYEE.
  void GetEmployeeID();
  void LoginFailed();
  // Shows the key help for the field with the focus ("IREF",
  // "DESCRIPTION", "QTYORDERED", "PRICE", "ENTRYTOTAL").
  void DisplayAvailKeys(int mode, int hasLines, const char* field);
  // A suspended sale (status "S") of this till shift exists. A failed
  // look-up is shown and reads as none.
  bool SuspendedSalesExist();
  // F6: the recall screen (PVspdsalesDlg) of this till shift's parked
  // sales; the chosen one is loaded for item entry, none starts a fresh sale.
  void ViewSuspendedItems();
  // Before a close-out: after one question every parked sale is voided,
  // saved with status "V" and its receipt printed. False when the cashier
  // declined, a look-up failed or a void could not be saved (the sales not
  // yet voided stay parked).
  bool CheckForSuspendedSales();
  // F4 on an empty sale: the daily-sales view of the store's saved sales.
  void ViewPreviousSale();
  // The till's sales of `szDate` not yet transferred, of one shift or (an
  // empty shift) all, as text into `szResult` (50 characters); "" when the
  // look-up failed, which has been shown.
  void FindSalesCount(const char* szStore, const char* szDate, const char* szTillRef,
                      const char* szShift, char* szResult);
  // The keys' view of the sale, and of the configuration.
  kvt::sale::SaleKeyState KeyState() const;

 protected:
  void SetupWindow() override;
  bool PreProcessMsg(MSG& msg) override;
  void CmCancel() override;

 private:
  // Entering fields 101-105: show their help, or check them at once and
  // move on.
  void Even_setfocusidc_iref();
  void Even_setfocusidc_idescr();
  void Even_setfocusidc_qtyordered();
  void Even_setfocusidc_price();
  void Even_setfocusidc_entrytotal();
  // The field was checked (the checker left it as it was): on to `next`.
  void CheckAndMoveTo(int field, int next);
  bool KeyingThrough() const;
  void ScrollToLastLines();
  void DoSaleKey(kvt::sale::SaleKeyAction action);

 public:
  // ---- Price determination (sale/pos1price.cpp, over pricing/prices.h) ----
  // Each member moves values between the screen and kvt::pricing::Prices.
  // Prices are texts: unit prices written with PRICE_FORMAT, amounts with
  // TOTAL_FORMAT; out buffers are 50 characters. A look-up the database
  // fails is shown to the cashier and changes nothing.

  // A till code's price in `szStore` (KVTCOM12): its markdown while the
  // window holds today, its sign, its rounding rules. Sets SecPriceAvail and
  // bTillCodePriceZero. Without toggle it fills PRICE and, unless
  // CFG_DISPLAYPRICEEACH is "T", ENTRYTOTAL (when the price is not 0). With
  // toggle it writes into `szNewPrice` the secret price when `szCurPrice` is
  // the regular price and the code has one, else the regular price.
  void FindTillCodePrice(const char* szTillCode, const char* szStore, bool TogglePrice,
                         const char* szCurPrice, char* szNewPrice);
  // The till code's last-digit rules on the price text, in place: rule 1
  // (RND1LT, RND1MKLD), and rule 2 only when rule 1 did not apply.
  void ApplyRoundingRules(const char* szRnd1LT, const char* szRnd1MkLd, const char* szRnd2LT,
                          const char* szRnd2MkLd, char* szPrice);
  // An inventory item's price: the inventory module's net unit price, then
  // a current promotion (today), then the dated retail and cost tables (the
  // shift date). Fills PRICE, DISCOUNT, COST and ENTRYTOTAL (as above); a
  // promotion or dated price clears QTYPRICING and MIXNUM. Refreshes the
  // screen. `bPriceInquiry` is not consulted.
  void FindInventoryPrice(const char* szCustRef, const char* szPriceCode, const char* szItemRef,
                          const char* szLocation, const char* szQty, bool bLoadAll,
                          bool bPriceInquiry);
  // The same for one unit of the item being keyed, whose price record (its
  // BEGINDATE, ENDDATE and PPRICE1) the caller has read: null without one.
  void PriceKeyedItem(const char* szItemRef, const kvt::sql::Row* priceRecord);
  // The inventory module's price, discount and cost for `szQty` units; the
  // price is the net unit price at the price decimals. All three empty when
  // the module does not answer.
  void FindInventoryPriceAndCost(const char* szCustRef, const char* szPriceCode,
                                 const char* szItemRef, const char* szLocation, const char* szQty,
                                 bool bLoadAll, char* szPrice, char* szDiscount, char* szCost);
  // The quantity on the sale's non-void lines of the item or, with an empty
  // item, of the mix number; 0 when both are empty.
  double FindTotalQtySold(const char* szItemRef, const char* szMixNum);
  // The unit price of the last of the three breaks (in order 1, 2, 3) whose
  // quantity is set and reached by `dTotalQty`; `dPrice` when none is.
  double FindUnitPrice(double dPrice, double dTotalQty, const char* szQty1, const char* szPrice1,
                       const char* szQty2, const char* szPrice2, const char* szQty3,
                       const char* szPrice3);
  // Re-prices every non-void line of the item by its unit-price breaks
  // (KVTPRB1) or by the inventory module's quantity matrix, for the quantity
  // summed over the sale; then the totals and the screen.
  void ApplyUnitPricing(const char* szItemRef, const char* szLocation);
  void ApplyMatrixPricing(const char* szItemRef, const char* szLocation);
  // After a line of `szRef` was added, changed or voided: unit ("U") or
  // matrix ("M") pricing at INVENTORY_LOCATION, then the mix when it has one.
  void AdjustPricing(const char* szRef, const char* szQtyPricing, const char* szMixNum);
  // COST = the sales category's COSTUNIT in the store, when it has a row.
  void FindSalesCatCost(const char* szCategory, const char* szStore);

  // ---- Mix-and-match (sale/pos1price.cpp, over pricing/prices.h) ---------
  // Re-prices the non-void lines carrying `szMixNum` while its KVTPRB31
  // window holds today (Prices::ApplyMixPricing), then the totals and the
  // screen. A mix that does not apply changes nothing.
  void ApplyMixPricing(const char* szMixNum, const char* szQtyPricing);

  // ---- Tax (sale/pos1price.cpp, over pricing/taxtable.h) -----------------
  // Every taxable line carries one tax-grid row per tax code of its tax
  // authority, tied to it by the line's item link (COL_RECNO). Tax amounts
  // are held unrounded ("%f") and rounded once per code by SumTax.

  // Empties the tax grid (a new sale starts).
  void ClearTaxTable();
  // The line's tax authority: the sales category's at this store when
  // CFG_USESALESCATEGORYTAXAUTH is "T", else (or when it has none)
  // CFG_SALESTAXAUTH; then LoadTaxTable.
  void FindTaxAuth(const char* category, const char* itemLink);
  // Appends one row per tax code of `taxAuth` that has a rate record
  // (code, rate, cap, no amount yet, item link).
  void LoadTaxTable(const char* taxAuth, const char* itemLink);
  // The tax of one row as "%f" text: `percent` of `amount`, capped by
  // `maxTax` when it rounds above 0; "0.000000" on a zero amount; empty when
  // the rate rounds to 0 or less.
  static std::string CalculateTax(const char* amount, const char* taxCode, const char* percent,
                                  const char* maxTax);
  // Recomputes the tax rows of sale line `row`, or drops them when the line
  // is voided or not taxable.
  void AdjustTaxAmount(int row);
  // The same for every line, the tax grid read once.
  void AdjustTaxAmounts();
  // Makes the last line non-taxable and totals the sale again.
  void RemoveTax();
  // Reloads the tax rows of line `row` (every line when `allRows`) from its
  // non-taxable category; lines without one are left alone.
  void AdjustTaxCodes(int row, bool allRows);
  // The sale's tax in TOTAL_FORMAT: rows summed per code, each code rounded
  // to cents once.
  std::string SumTax();
  // The tax rows' amounts as saved, in grid order and TOTAL_FORMAT: each
  // rounded to cents, the last one taking up the difference so that they
  // add up to `saleTaxTotal`.
  std::vector<std::string> TaxRowSaveAmounts(const char* saleTaxTotal);

 private:
  // The pricing and tax look-ups of this screen, made on first use.
  struct PricingCore;
  struct PricingCoreDeleter {
    void operator()(PricingCore* core) const;
  };
  std::unique_ptr<PricingCore, PricingCoreDeleter> pricing_;
  PricingCore& Pricing();
  // A failed look-up, shown to the cashier.
  void ShowLookupFailure(const std::string& error);

 public:
  // ---- Sale totals and lines (sale/pos1a.cpp) ----------------------------
  // Makes the line-table model (VerifyPOS1File) and makes it the screen's
  // field checker; set-up calls it once.
  void CreateLineTableModel();
  // Totals the grid's lines (kvt::sale::TotalSale) into FSTOTAL,
  // REMAINTOTAL, NONTAXAMT, TAXTOTAL and TOTAL and shows them; with
  // `recalculateTaxes` every line's tax rows first.
  void TotalSaleItems(int recalculateTaxes);
  // The sale grid's lines as values, and a line written into row `row`.
  kvt::sale::Line GetSaleLine(int row);
  std::vector<kvt::sale::Line> GetSaleLines();
  void PutSaleLine(int row, const kvt::sale::Line& line);
  // Reprices an inventory line with quantity prices or a mix after it
  // changed: AdjustPricing (a seam the line table's tests observe).
  virtual void AdjustLinePricing(const char* reference, const char* qtyPricing, const char* mixNum);

 private:
  // The lines' totals as last read from the sale grid, and what of it was
  // seen: only the rows changed since are read again.
  kvt::sale::RunningTotals runningTotals_;
  TDataTblMark totalsSeen_;

 public:
  // ---- Item entry (sale/pos1a.cpp) ----------------------------------------
  // Looks the reference up (an inventory item at INVENTORY_LOCATION, a bar
  // code resolved to its item, or a till code at STORE), fills the entry
  // fields, asks the farm-use and age questions, sets the prompt flags and
  // prices the item. False when it is not there, or when a look-up failed:
  // bLookupFailed is then set and the cashier was told, so the caller says
  // no "not found".
  bool DisplayItem(const char* reference);
  bool bLookupFailed = false;
  // Answers that stay the same through a sale (the store's sales categories
  // and tax codes, the inventory settings), read on the sale's first use and
  // forgotten when the tax table is cleared or an item is keyed into an empty
  // sale, so a change made in the office counts from the next sale on. A
  // failed look-up is never kept.
  std::map<std::string, std::vector<kvt::sql::Row>> saleAnswers;
  void ForgetSaleAnswers();
  // The prompt flags of the item (kvt::sale::ReadPromptFlags).
  void SetPromptFlags(const char* descEditable, const char* promptQty, const char* promptPrice,
                      const char* promptAmount, const char* zeroUnits, const char* zeroPriceChanges,
                      const char* priceSign, const char* tillCodeSold);
  // The age check of a tobacco ("T") or alcohol ("A") item, once a sale.
  void IDPrompt(const char* type);
  // Runs the date-of-birth dialog; a refusal drops the item (command 9003).
  void GetDateofBirth(const char* type, const char* age);
  // Voids the selected line (and its tag-along), then the totals.
  void VoidItem();
  void VoidTotals(int row);
  // Esc: the till code being keyed, or the last line, between its primary
  // and secondary price.
  void TogglePrice();
  // F7: the last line is returned (its quantity changes sign).
  void ReturnPreviousItem();
  // The paid-on-account line and its discount line the payment screen adds.
  void CreatePOAItem(const char* paymentAmount, const char* discount);
  void CreatePOADiscountItem(const char* discount);
  // The sales category's accounting department; "" when it has none.
  std::string GetDepartment(const char* category, const char* store);
  // F11: the price check window.
  void ViewPriceCheck();
  // F7 on an empty sale: the customer's balance.
  void ViewCustomerBalance();
  // Pick lists of inventory items (by reference, by description) and till
  // codes; the choice is displayed as the item being keyed.
  void SearchInvRef();
  void SearchInvDesc();
  void SearchTillCode();
  // New quantity for the last line (and its tag-along), totals again.
  void ChangeQty(const char* quantity);
  // Adds the keyed item as a line and starts the next one.
  void AcceptItem();
  // Empties the entry fields for the next item.
  void NewItem();
  // Keys the tag-along `tagAlongRef` of `reference` as the next line;
  // returns 1 when it was added, 0 when it was not found.
  int CreateTagAlongItem(const char* reference, const char* tagAlongRef, const char* quantity,
                         const char* refPrice, const char* tagAlongRate);
  // Shows the customer's date of birth in text 150 when the sale has one.
  void DisplayDOB();
  // Empties the sale line grid.
  void ClearTable();

 private:
  struct LineTableDeleter {
    void operator()(KVTPOS1A* model) const;
  };
  std::unique_ptr<KVTPOS1A, LineTableDeleter> lineTable_;

 public:
  // ---- Saving (sale/pos1b.cpp) -------------------------------------------
  //
  // Forwarders to the sale writer (sale/writer.h): the screen's buffer, sale
  // grid and tax grid become its values, the number, link and record number
  // it gives the sale come back to the buffer, and its notices are shown
  // once it has returned (its transaction has ended by then).

  using SaleTexts = kvt::sale::SaleTexts;
  using SaleLineRow = kvt::sale::LineRow;

  // Saves the sale on the screen (SaleWriter::Save). False, with the
  // message shown and nothing written, when any part fails.
  bool SaveOrder(const char* TransType, const char* Status, SaleTexts& texts);
  // The same with the 51 texts one by one, as the payment screen passes
  // them; the card number and expiry are masked and cleared in the caller's
  // buffers (null texts read as empty).
  bool SaveOrder(const char* TransType, const char* Status, const char* CustRef,
                 const char* CustName, const char* CashAmt, const char* CheckAmt,
                 const char* CreditAmt, const char* CashRet, const char* ChargeAmt,
                 const char* ChargeRet, const char* FSAmt, const char* CashPay,
                 const char* CheckPay, const char* Total, const char* TotalPaid,
                 const char* PymtMethod, const char* NetAmt, const char* NonTaxAmt,
                 const char* Discount, const char* Change, const char* CheckNum,
                 const char* CheckAcct, char* CCNumber, char* CCExpDate, const char* CCType,
                 const char* CCAuthNum, const char* PO, const char* CreditPay, const char* FSChange,
                 const char* TaxAmt, const char* DOB, const char* FPAmt, const char* FPRet,
                 const char* FPCashPay, const char* FPCheckPay, const char* FPDBC,
                 const char* FPDBCDesc, const char* FPCPN, const char* FPCPNDesc,
                 const char* FPAuthNum, const char* FPC2Ref, const char* FPRepayTrm,
                 const char* FPTandC, const char* FPAccNum, const char* CreditRet,
                 const char* GCAmt, const char* GCPay, const char* GCType, const char* GCNumber,
                 const char* GCExpDate, const char* GCAuthNum, const char* CanExchg,
                 const char* CanAmt);

  // Sale numbers of the screen's store and links with sInstanceID. The
  // result is module-wide text that the next call overwrites; "" when none
  // could be had (sNumberingError says why).
  const char* GetNextSaleNum();
  const char* StoreGetNextSaleNum();
  const char* POSConfigGetNextSaleNum();
  const char* GetNextSaleLink();
  std::string sNumberingError;

  // The parts of a save, on the screen's sale, inside whatever transaction
  // is open.
  bool InsertKVTPOS1(const char* TransType, const char* Status, const char* SaleTime,
                     const char* SaleDate, SaleTexts& texts);
  bool UpdateKVTPOS1(const char* TransType, const char* Status, const char* SaleTime,
                     const char* SaleDate, SaleTexts& texts);
  bool SaveTable(const char* InvoiceNum, const char* Status, const char* SaleDate,
                 const char* InvoiceLnk);
  bool InsertKVTPOS2(const SaleLineRow& row);
  // The tax grid's rows, rounded to cents so that they add up to `TaxTotal`
  // (TaxRowSaveAmounts).
  bool SaveTaxes(const char* InvoiceNum, const char* TaxTotal, const char* InvoiceLnk);
  bool InsertKVTPOS3(const char* InvoiceNum, const char* TaxCode, const char* TaxRate,
                     const char* TaxAmt, const char* Recno, const char* ItemLnk,
                     const char* InvoiceLnk);
  // Stock and category history of one sold line (sale/invent.h).
  bool ReduceInvQOH(const char* InvRef, const char* Location, const char* QtySold,
                    const char* UnitCost, const char* Amount, const char* InvoiceLnk,
                    const char* InvoiceNum, const char* SaleDate);
  bool UpdateCategoryHistory(const char* Category, const char* Store, const char* Qty,
                             const char* Amount);

  // Shows a save's notices to the cashier, in order.
  void SaveMessage(const std::vector<kvt::sale::Notice>& notices);

 private:
  kvt::sale::SaleWriter& Writer();
  kvt::sale::Header SaleHeader(const char* TransType, const char* Status, const char* SaleTime,
                               const char* SaleDate, const SaleTexts& texts);
  void KeepSaleNumbers(const kvt::sale::Header& header);
  std::vector<kvt::sale::TaxLine> SavedTaxes(const char* TaxTotal);
  std::unique_ptr<kvt::sale::SaleWriter> writer_;

 public:
  // ---- Instance id (shell/locks.h) --------------------------------------
  // Claims the first free id for this window (kvt::shell::ClaimInstanceId)
  // into sInstanceID, its lock into sProcessLockID. False, both empty, when
  // every id is taken.
  bool SetInstanceID();
  // The id of instance number n put in front of sInstanceID (emptied first
  // when `reset`), returned: 0-25 "A".."Z", 26 "AA", 701 "ZZ".
  std::string BuildInstanceID(int n, bool reset);
  // Lets the claimed id go; the screen does this when it is destroyed.
  void ReleaseInstanceID();
  // Ends the till shift's open-shift record in KVTPOS9 (close-out and the
  // till-side transfer); its result is not checked (backoffice/login.cpp).
  void RemoveLoginInfo(const char* szStore, const char* szShiftDate, const char* szTillRef,
                       const char* szShift);

  // ---- Drawer and pole display (payment/devices.cpp) ----------------------
  // Device failures are message boxes; the sale goes on.
  // Opens the pole display of CFG_POLEDISPLAY on a fresh serial_port and
  // clears it. True when there is none or it opened; false after "Error
  // initializing the Pole Display!".
  bool InitPoleDisplay();
  // Two lines on the pole display: row -1 the four texts given, row 0 the
  // sale grid's last line, a row above 0 that line; with a line, line 2 is
  // "Total Due" and TOTAL. Nothing without a pole display.
  void PoleDisplayPrint(int row, const char* line1, const char* line2, const char* line3,
                        const char* line4);
  // Kicks the drawer: on the serial port of "TillDrawerPort", or through the
  // receipt printer (the report module's "OpenTillDrawer").
  void OpenTillDrawer();
  struct SerialPortDeleter {
    void operator()(CSerialPort* port) const;
  };
  std::unique_ptr<CSerialPort, SerialPortDeleter> serial_port;
  std::string sPrintBuffer;  // the last text sent to the pole display

  // ---- Receipts, invoices and reports (payment/pos1e.cpp) ----------------
  // Each document is the report module's (KVTPOSR.DLL); a module or entry
  // point that is missing is shown once and the sale goes on.
  // The receipt of a sale (INVOICELNK), or its invoice when receipts or
  // payments on account go to the invoice printer; then the check's
  // validation.
  void PrintCustomerReceipt(const char* szInvoiceLnk, int iCopy = 0);
  void PrintInvoice(const char* szInvoiceLnk);
  void ValidateCheck();
  void PrintCloseOutTotals(int iTillTotalsOnly);
  void PrintTillRefTotals();
  void PrintClosedReport(const char* szStore, const char* szShiftDate, const char* szTillRef,
                         const char* szShift);
  void PrintCloseOut(const char* szStore, const char* szShiftDate, const char* szTillRef,
                     const char* szEmployee, const char* szShift, int iTillTotalsOnly);
};
