// The payment screen ("Sale Total" tab, PVpos2Dlg): its buffer, its form,
// and the members that take one sale from the sale screen through its
// tenders to its completion. The arithmetic of the tenders is in
// payment/tenders.h, the rules a tender is checked by in payment/payrules.h,
// the field checks in POS2A (payment/pos2a.h), the customers of a tender in
// payment/pos2b.cpp.
#pragma once

#include <map>
#include <memory>
#include <string>

#include "payment/pos1e.h"
#include "payment/pos2c.h"
#include "payment/tenders.h"
#include "platform/forms/forms.h"
#include "platform/sql/kvtsql.h"

class PVpos1Dlg;
class POS2A;

// Field ids of the payment screen.
enum : int {
  IDC_PYMTFORM = 108,
  IDC_PI1 = 110,
  IDC_PI2 = 112,
  IDC_PI3 = 115,
  IDC_PI4 = 117,
  IDC_AMOUNT = 125,
  IDC_CUSTREF = 182,
  IDC_CUSTNAME = 183,
  IDC_POADISCOUNT = 193,
  IDC_TENDERED = 194,
  IDC_PANEL_LABEL = 201,  // rows A..E, tax rows 2..6: 201-210
  IDC_PANEL_VALUE = 211,  // their values: 211-220
  IDC_PAY_HELP = 230,     // six key-help lines: 230-235
  IDC_PAUSE = 236,
  IDC_PAY_TITLE = 237,
  IDC_COMMENTS = 238,
  IDC_CUSTPANEL = 239,
  IDC_CUSTAMOUNTS = 240,
  IDC_TAXNOTE = 243,
};

struct PVpos2Data {
  char INVOICENUM[81];
  char CUSTREF[31];
  char CUSTNAME[31];
  double RECNO;
  char NUMCHANGE[81];
  char szPYMTFORMSelection[80];
  char PI1[16];
  char PI2[21];
  char PI3[31];
  char PI4[31];
  char AMOUNT[11];
  char FSTOTAL[81];
  char REMAINTOTAL[81];
  char TAXTOTAL[81];
  char TOTAL[81];
  char AMTREMAIN[81];
  char AMTREC[81];
  char CHANGEDUE[81];
  char CASHAMT[81];
  char CHECKAMT[81];
  char CREDITAMT[81];
  char CASHRET[81];
  char CHARGEAMT[81];
  char CHARGERET[81];
  char FDSTMPAMT[81];
  char TOTALPAID[81];
  char CASHPAY[81];
  char CHECKPAY[81];
  char PYMTMETHOD[81];
  char NONTAXAMT[81];
  char CHECKNUM[81];
  char CHECKACCT[81];
  char CCNUMBER[81];
  char CCEXPDATE[81];
  char CCTYPE[81];
  char CCAUTHNUM[81];
  char PO[81];
  char CREDITPAY[81];
  char FSCHANGE[81];
  char FSAMTREC[81];
  char INVOICELNK[81];
  char CREDITRET[81];
  char DISCOUNT[11];
  char CANEXCHG[81];
  char CANAMOUNT[81];
  char TENDERED[11];
};

class PVpos2Dlg : public KVTPropertyPage {
 public:
  explicit PVpos2Dlg(HWND parent);
  ~PVpos2Dlg() override;
  static const KVTFormDecl& FormDecl();

  PVpos2Data Data{};
  KVTConnection FConn{1};

  // ---- State -------------------------------------------------------------
  bool bSignature = false;      // a charge was recorded
  char szSaveCustRef[50] = "";  // the last customer of a tender, not a default one
  char szCustName[50] = "";
  char szExpDate[50] = "";  // the card expiry as keyed, then as checked
  int PymtFormIndex = '1';  // the selected form's character
  int PaymentEntered = 0;
  int EnteringPayment = 0;
  int SaleComplete = 0;
  int OnCustRef = 0;
  int ReturnSale = 0;
  char szLastInvoiceLink[50] = "";
  bool bEnteringMixedPOA = false;
  bool bMadeMixedPOA = false;
  POS2A* VerifyPOS2 = nullptr;
  char szChgTaxRunId[50] = "";
  std::string sFPAmt, sFPRet, sFPCashPay, sFPCheckPay, sFPDBC, sFPDBCDesc, sFPCPN, sFPCPNDesc,
      sFPAuthNum, sFPCrestpayRef, sFPRepayTrm, sFPTandC, sFPAccNum;
  std::string sGCAmt, sGCPay, sGCType, sGCNumber, sGCExpDate, sGCAuthNum;

  // The sale screen of the same window (page 0), or null on a screen made
  // on its own.
  PVpos1Dlg* Sale() const;

  // ---- The sale's payment (payment/pos2.cpp) ------------------------------
  // The tab was entered with a sale: every amount cleared, the form list,
  // the totals, the title; then a check cashing chooses its form at once,
  // a void asked for on the sale screen selects "8 - Void Sale".
  void InitForm();
  // The form list rebuilt for the next tender, the entry fields emptied.
  void NewPayment();
  // Records one tender (kvt::payment::TenderTotals): true when it ends the
  // sale.
  bool TotalPayments(const char* amount, char form);
  // The sale's totals from the sale screen onto the panel.
  void DisplayTotals();
  // Completes the paid sale: saved through the sale screen's SaveOrder,
  // then the next sale or the pause.
  void SalePaid();
  // The customer's signature, when the store or the customer wants one:
  // the module's Signature export, then the pad's window waited for.
  void CaptureSignature();
  // Voids the sale; false when the cashier declined.
  bool VoidSale(const char* link);
  void NewSale();
  void ClearForm();
  void HidePaymentInfoFields();
  void DisplayAvailKeys(int paymentEntered, int enteringPayment, const char* field,
                        int saleComplete);
  void EnterMixedPOA();
  void ViewCustomerBalance();
  void ViewPriceCheck();
  void ChangeTax();
  // F1 on the customer reference: a new customer (PVaddcustDlg), after the
  // password when adding customers asks for it; saved, it is the tender's
  // customer; cancelled, the form list again.
  void NewCustomer();

  // The steps of a tender: after `fromField` was accepted (108 the form
  // list, 182 the customer, 183 the name, a detail field), the next one.
  void DisplayPaymentInformation(char form, int fromField);
  // The form chosen from the list: its questions and refusals; false when
  // the tender does not go on.
  bool ChoosePaymentForm();
  // The amount field left: the tender recorded (or the payment on account
  // inside the sale made).
  void AcceptAmount();
  // The amount tendered on a payment on account left.
  void AcceptTendered();
  // The tender being keyed is abandoned (Esc).
  void AbandonTender();

  // ---- Tenders the financing and card module runs (payment/pos2jd.cpp) --
  // A tender of `form` that goes to KVTJD.DLL instead of the till's prompts
  // (bank cards where the module takes them, Farm Plan sales and returns,
  // the cash or check of a Farm Plan payment on account): the module runs
  // it and its answer is recorded as if keyed; after a refusal the form
  // list is back. False when the form is keyed at the till.
  bool ModuleTender(char form);

  // ---- Customers of a tender (payment/pos2b.cpp) --------------------------
  // Loads CUSTREF for the tender: true when an active customer was found
  // and accepted (see payment/customers.h for the look-ups).
  bool LoadCustomer(const char* reference);
  // Past-due balance notes written for the customer (custom feature
  // "9333", balance-forward stores); first and last record numbers, 0 when
  // none were written.
  void GetCustomerBalance(const char* reference, double* firstNote, double* lastNote);
  void ShowComments(bool show);
  void ShowCustomerInformation(bool show, const char* reference);
  // The searches by reference, phone and name: the reference chosen into
  // CUSTREF; false when none was chosen.
  bool SearchCustRef(const char* start);
  bool SearchCustName(const char* start);
  bool SearchCustPhone(const char* start);
  // The customer reference left (the swipe, the searches, the load); true
  // when the tender goes on.
  bool CustomerEntered();
  // The tender's default customer ("" for a charge).
  std::string TenderDefaultCustomer(char form) const;

 protected:
  void SetupWindow() override;
  void PageSelected() override;
  bool PreProcessMsg(MSG& msg) override;

 private:
  friend class POS2A;
  void DoSelectTab();
  void DoDisplayTotals() { DisplayTotals(); }
  void DoSalePaid() { SalePaid(); }
  void DoSelectPaymentForm();
  void DoSelectVoidPaymentForm();
  // The receipts of the last completed sale (9001, 9002) print with the
  // receipts and invoices.
  void DoPrintInvoice();
  void DoPrintCustomerReceipt();
  void PanelRow(int row, const std::string& label, const std::string& value);
  void ClearPanel();
  void Pole(const std::string& line1, const std::string& line2);
  void FocusFormList();
  // The amount (after the discount of a payment on account, when the
  // customer takes one).
  void AmountStep(char form);
  // Records the amount in the field at once (returns, defaulted amounts).
  void RecordAtOnce(char form);
  void ShowTenderField(int id, const std::string& label);
  kvt::payment::TenderColumns Columns() const;
  // The tenders of the sale being completed, for its receipt copies.
  kvt::reports::SaleTenders Tenders(bool voided) const;
  void KeepColumns(const kvt::payment::TenderColumns& c);
  kvt::payment::SaleDue Due() const;
  void CopyDetails(char form);
  // The module's event for the tender; false when nothing was recorded.
  bool RunModuleTender(char form, const std::string& event);
  char Form() const { return static_cast<char>(PymtFormIndex); }
  bool PayOnAcct() const;
  bool CashCheck() const;
  std::unique_ptr<KVTPaymentTaxes> taxes_;
  std::unique_ptr<POS2A> checker_;
  // The last LoadCustomer refused the customer (and said why), rather than
  // not finding one.
  bool customerRefused_ = false;
  // The discount of this payment on account was asked already.
  bool discountAsked_ = false;
  // What the tenders of this visit to the tab have read already, kept until
  // the tab is entered again (a later sale reads them afresh): feature
  // switches, and the last customer found active by reference.
  bool Feature(const char* feature);
  std::map<std::string, bool> features_;
  std::string knownCustomerRef_;
  kvt::sql::Result knownCustomer_;
};
