// The sale entry screen: its form, its set-up, the way the cashier moves
// through an item's fields, its keys and the operations on the whole sale.
#include "sale/pos1.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <string>

#include "platform/base/kvtbase.h"
#include "platform/sql/query.h"
#include "sale/pos1a.h"
#include "shell/crestpay.h"
#include "shell/globals.h"
#include "shell/posmisc.h"
#include "shell/screens.h"

namespace {

bool Is(const char* setting, const char* value) {
  return std::strcmp(setting, value) == 0;
}

// The fields the cashier does not see: the rest of the buffer.
const int kHiddenFields[] = {
    IDC_NUMCHANGE,   IDC_RECNO,     IDC_INVOICENUM, IDC_TILLREF,    IDC_SHIFT,      IDC_EMPLOYEE,
    IDC_STORE,       IDC_SHIFTDATE, IDC_FOODSTAMPS, IDC_TAXABLE,    IDC_TAXAMT,     IDC_FSTOTAL,
    IDC_REMAINTOTAL, IDC_TAXTOTAL,  IDC_TOTAL,      IDC_TAXAUTH,    IDC_CATEGORY,   IDC_LOGINEMP,
    IDC_TILLCODE,    IDC_COST,      IDC_SERIALNUM,  IDC_DISCOUNT,   IDC_NONTAXAMT,  IDC_MIXNUM,
    IDC_TAGALONG,    IDC_INVREF,    IDC_NONTAXCAT,  IDC_QTYPRICING, IDC_TAGALGRATE, IDC_INVOICELNK,
    IDC_PROMPT,      IDC_DTOFBRTH};

// Commands the screen posts to itself.
enum : int {
  CM_GETEMPLOYEE = 5000,
  CM_SELECTTAB = 6000,
  CM_EDITITEMS = 8000,
  CM_ENTERITEMS = 9000,
  CM_SEARCHINVREF = 9001,
  CM_SETFOCUSONREF = 9002,
  CM_STARTNEWITEM = 9003,
  CM_DISPLAYDOB = 9004,
};

constexpr int kVisibleLines = 15;

KVTFormDecl MakeForm() {
  KVTFormDecl f("PVpos1Dlg", "Sale Items", 100, 34);
  f.Edit(IDC_IREF, "Reference : ", 13, 1, 15, KVT_BIND(PVpos1Data, IREF));
  f.Edit(IDC_IDESCR, "Description : ", 13, 2, 30, KVT_BIND(PVpos1Data, IDESCR));
  f.Edit(IDC_QTYORDERED, "Quantity : ", 13, 3, 10, KVT_BIND(PVpos1Data, QTYORDERED));
  f.Edit(IDC_PRICE, "Price : ", 13, 4, 10, KVT_BIND(PVpos1Data, PRICE));
  f.Edit(IDC_ENTRYTOTAL, "Amount : ", 13, 5, 15, KVT_BIND(PVpos1Data, ENTRYTOTAL));
  f.Label(IDC_SECPRICE_HINT, "", 45, 4, 40);
  f.Label(IDC_SALE_TEXT, "", 45, 5, 40);

  KVTFieldDecl& grid = f.Grid(IDC_DATATBL1, 1, 7, 15);
  grid.Column("Reference", 17);
  grid.Column("Description", 32);
  grid.Column("Quantity", 12).Right();
  grid.Column("Price", 12).Right();
  grid.Column("Amount", 17).Right();
  grid.Column("FS", 2);
  grid.Column("ORDERNUM", 12).Hidden();
  grid.Column("NUMCHANGE", 12).Hidden();
  grid.Column("Recno", 16).Hidden();
  grid.Column("TA", 8).Hidden();
  grid.Column("", 2);
  const int hiddenWidths[] = {12, 10, 12, 12, 12, 12, 17, 10, 17, 2, 12, 5};
  for (int w : hiddenWidths) grid.Column("", w).Hidden();

  KVTFieldDecl& tax = f.Grid(IDC_TAXTBL, 1, 24, 4).Hidden();
  tax.Column("Tax Code", 8);
  tax.Column("Tax Rate", 8).Right();
  tax.Column("Max Taxable Amt", 10).Right();
  tax.Column("Tax Amt", 8).Right().Datalen(20);  // six decimals on any line amount
  tax.Column("Item Link", 15);

  f.Label(0, "Food Stamps :", 66, 24, 13);
  f.Label(0, "Remaining :", 66, 25, 13);
  f.Label(0, "Tax :", 66, 26, 13);
  f.Label(0, "Sale Total :", 66, 27, 13);
  f.Label(IDC_FSTOTAL_DISPLAY, "$0.00", 80, 24, 15);
  f.Label(IDC_REMAINTOTAL_DISPLAY, "$0.00", 80, 25, 15);
  f.Label(IDC_TAXTOTAL_DISPLAY, "$0.00", 80, 26, 15);
  f.Label(IDC_TOTAL_DISPLAY, "$0.00", 80, 27, 15);

  // The key help: two columns of five lines under the grid.
  int line = 0;
  for (int id : kvt::sale::kSaleKeyHelpIds) {
    f.Label(id, "", 1 + (line / 5) * 36, 24 + line % 5, 35);
    ++line;
  }

  // The rest of the buffer: hidden fields, shown in debug mode.
  struct Hidden {
    int id;
    KVTBufferRef ref;
  } hidden[] = {
      {IDC_NUMCHANGE, KVT_BIND(PVpos1Data, NUMCHANGE)},
      {IDC_RECNO, KVT_BIND(PVpos1Data, RECNO)},
      {IDC_INVOICENUM, KVT_BIND(PVpos1Data, INVOICENUM)},
      {IDC_TILLREF, KVT_BIND(PVpos1Data, TILLREF)},
      {IDC_SHIFT, KVT_BIND(PVpos1Data, SHIFT)},
      {IDC_EMPLOYEE, KVT_BIND(PVpos1Data, EMPLOYEE)},
      {IDC_STORE, KVT_BIND(PVpos1Data, STORE)},
      {IDC_SHIFTDATE, KVT_BIND(PVpos1Data, SHIFTDATE)},
      {IDC_FOODSTAMPS, KVT_BIND(PVpos1Data, FOODSTAMPS)},
      {IDC_TAXABLE, KVT_BIND(PVpos1Data, TAXABLE)},
      {IDC_TAXAMT, KVT_BIND(PVpos1Data, TAXAMT)},
      {IDC_FSTOTAL, KVT_BIND(PVpos1Data, FSTOTAL)},
      {IDC_REMAINTOTAL, KVT_BIND(PVpos1Data, REMAINTOTAL)},
      {IDC_TAXTOTAL, KVT_BIND(PVpos1Data, TAXTOTAL)},
      {IDC_TOTAL, KVT_BIND(PVpos1Data, TOTAL)},
      {IDC_TAXAUTH, KVT_BIND(PVpos1Data, TAXAUTH)},
      {IDC_CATEGORY, KVT_BIND(PVpos1Data, CATEGORY)},
      {IDC_LOGINEMP, KVT_BIND(PVpos1Data, LOGINEMP)},
      {IDC_TILLCODE, KVT_BIND(PVpos1Data, TILLCODE)},
      {IDC_COST, KVT_BIND(PVpos1Data, COST)},
      {IDC_SERIALNUM, KVT_BIND(PVpos1Data, SERIALNUM)},
      {IDC_DISCOUNT, KVT_BIND(PVpos1Data, DISCOUNT)},
      {IDC_NONTAXAMT, KVT_BIND(PVpos1Data, NONTAXAMT)},
      {IDC_MIXNUM, KVT_BIND(PVpos1Data, MIXNUM)},
      {IDC_TAGALONG, KVT_BIND(PVpos1Data, TAGALONG)},
      {IDC_INVREF, KVT_BIND(PVpos1Data, INVREF)},
      {IDC_NONTAXCAT, KVT_BIND(PVpos1Data, NONTAXCAT)},
      {IDC_QTYPRICING, KVT_BIND(PVpos1Data, QTYPRICING)},
      {IDC_TAGALGRATE, KVT_BIND(PVpos1Data, TAGALGRATE)},
      {IDC_INVOICELNK, KVT_BIND(PVpos1Data, INVOICELNK)},
      {IDC_PROMPT, KVT_BIND(PVpos1Data, PROMPT)},
      {IDC_DTOFBRTH, KVT_BIND(PVpos1Data, DTOFBRTH)},
  };
  for (auto& h : hidden) f.Edit(h.id, "", 0, 29, 10, h.ref).Hidden().NoTabStop();
  return f;
}

}  // namespace

const KVTFormDecl& PVpos1Dlg::FormDecl() {
  static const KVTFormDecl form = MakeForm();
  return form;
}

PVpos1Dlg::PVpos1Dlg(HWND parent) : KVTPropertyPage(parent, FormDecl()) {
  SetTransferBuffer(&Data);
  OnCommand(CM_GETEMPLOYEE, [this] { GetEmployeeID(); });
  OnCommand(CM_SELECTTAB, [this] { DoSelectTab(); });
  OnCommand(CM_EDITITEMS, [this] { EditItems(); });
  OnCommand(CM_ENTERITEMS, [this] { EnterItems(); });
  OnCommand(CM_SEARCHINVREF, [this] { SearchInvRef(); });
  OnCommand(CM_SETFOCUSONREF, [this] { KVTSetFieldFocus(IDC_IREF); });
  OnCommand(CM_STARTNEWITEM, [this] { NewItem(); });
  OnCommand(CM_DISPLAYDOB, [this] { DisplayDOB(); });
  OnSetFocus(IDC_IREF, [this] { Even_setfocusidc_iref(); });
  OnSetFocus(IDC_IDESCR, [this] { Even_setfocusidc_idescr(); });
  OnSetFocus(IDC_QTYORDERED, [this] { Even_setfocusidc_qtyordered(); });
  OnSetFocus(IDC_PRICE, [this] { Even_setfocusidc_price(); });
  OnSetFocus(IDC_ENTRYTOTAL, [this] { Even_setfocusidc_entrytotal(); });
  // A click on a line while lines are shown starts editing them.
  OnGridClick(IDC_DATATBL1, [this](int) {
    if (OrderHasItems && !EnteringItem && Mode == 0) PostMessage(WM_COMMAND, CM_EDITITEMS);
  });
}

PVpos1Dlg::~PVpos1Dlg() {
  ReleaseInstanceID();
}

// ---- Set-up ----------------------------------------------------------------

void PVpos1Dlg::SetupWindow() {
  if (!TabWindow()) return;
  GetConfigInfo("", "", "");
  if (!InitPoleDisplay()) {
    LoginFailed();
    return;
  }
  if (!SetInstanceID()) {
    MessageBox(
        "The Maximum POS Sales Instances has been exceeded!\nPlease contact Kovatel Software.",
        "Kovatel Software", MB_OK | MB_ICONSTOP);
    LoginFailed();
    return;
  }
  KVTSetSetting(Data.STORE, LOGIN_STORE);
  KVTSetSetting(Data.SHIFTDATE, LOGIN_DATE);
  KVTSetSetting(Data.TILLREF, LOGIN_TILL);
  KVTSetSetting(Data.EMPLOYEE, LOGIN_EMPLOYEE);
  KVTSetSetting(Data.LOGINEMP, LOGIN_EMPLOYEE);
  KVTSetSetting(Data.SHIFT, LOGIN_SHIFT);
  FindInvLoc(Data.STORE);
  DoAppToScr();
  InitForm();
  if (!VerifyPOS1File) CreateLineTableModel();
  NewOrder();
  if (IsProgramInstalled("KVTJD.DLL")) {
    bCrestpayInstalled = true;
    bFarmPlanAccepted = bIsFarmPlanOfffered(Handle(), INVENTORY_LOCATION, "");
    bCrestpayCreditCardsAccepted = bIsCrestpayCreditCardsOfffered(Handle(), INVENTORY_LOCATION, "");
  }
}

void PVpos1Dlg::InitForm() {
  for (int id : kHiddenFields) ShowField(id, DEBUGMODE != 0);
  TDataTbl& g = SaleGrid();
  for (int c = 0; c < g.GetColCount(); ++c) {
    if (g.Columns()[c].hidden) g.SetColHidden(c, DEBUGMODE == 0);
  }
  ShowField(IDC_PRICE, Is(CFG_DISPLAYPRICEEACH, "T"));
}

void PVpos1Dlg::LoginFailed() {
  PostMessage(WM_COMMAND, IDCANCEL);
}

void PVpos1Dlg::CmCancel() {
  serial_port.reset();
  KVTPropertyPage::CmCancel();
}

// ---- The sale ----------------------------------------------------------------

void PVpos1Dlg::NewOrder() {
  bTOTAMT = false;
  Data.INVOICENUM[0] = Data.INVOICELNK[0] = Data.DTOFBRTH[0] = '\0';
  Data.RECNO = 0;
  szCustRef[0] = '\0';
  sMixedPOAAmt.clear();
  for (char* total : {Data.FSTOTAL, Data.REMAINTOTAL, Data.TAXTOTAL, Data.TOTAL, Data.NONTAXAMT})
    std::strcpy(total, "0");
  for (int id :
       {IDC_FSTOTAL_DISPLAY, IDC_REMAINTOTAL_DISPLAY, IDC_TOTAL_DISPLAY, IDC_TAXTOTAL_DISPLAY})
    SetFieldVar(id, "$0.00");
  SetFieldVar(IDC_SALE_TEXT, "");
  Mode = OrderHasItems = SecPriceAvail = 0;
  KVTSetSetting(szPayOnAcct, "N");
  KVTSetSetting(szCashCheck, "N");
  KVTSetSetting(szVoidTheSale, "N");
  bPromptIDTobacco = bPromptIDAlcohol = bFarmPlanPayment = false;
  KVTSetSetting(szProvinceFarmSalesTaxRemoved, "0");
  if (Tbacktab* tabs = TabWindow()) tabs->EnableTab(1, false);
  ClearTable();
  ClearTaxTable();
  SaleGrid().SetTopRow(0);
  NewItem();
  PoleDisplayPrint(-1, "", "", "", "");
  DisplayAvailKeys(Mode, OrderHasItems, "IREF");
  if (Is(CFG_ENTERSALESREP, "T")) PostMessage(WM_COMMAND, CM_GETEMPLOYEE);
}

void PVpos1Dlg::NewItem() {
  bTOTAMT = false;
  SaleGrid().SelRow(KVT_NONE);
  UnprotectField(IDC_IREF);
  SetFieldColors(IDC_IREF, KVT_NORMAL_FG, KVT_HIGHLIGHT_BG);
  for (int id = IDC_IDESCR; id <= IDC_ENTRYTOTAL; ++id) {
    ProtectField(id);
    SetFieldColors(id, KVT_PROTECTED_FG, KVT_PROTECTED_BG);
  }
  PVpos1Data& d = Data;
  for (char* field :
       {d.IREF,     d.IDESCR,     d.QTYORDERED, d.PRICE,    d.ENTRYTOTAL, d.FOODSTAMPS,
        d.TAXABLE,  d.TAXAUTH,    d.TAXAMT,     d.CATEGORY, d.NUMCHANGE,  d.COST,
        d.DISCOUNT, d.SERIALNUM,  d.TILLCODE,   d.MIXNUM,   d.TAGALONG,   d.NONTAXCAT,
        d.INVREF,   d.QTYPRICING, d.TAGALGRATE, d.PROMPT})
    field[0] = '\0';
  if (VerifyPOS1File) VerifyPOS1File->sTagAlongLoopParent.clear();
  EnteringItem = 0;
  SetPromptFlags("F", "F", "F", "F", "F", "F", "P", "F");
  bErrorInEntryTotal = bTillCodePriceZero = false;
  szUnitDec[0] = '\0';
  DoAppToScr();
  PostMessage(WM_COMMAND, CM_SETFOCUSONREF);
}

void PVpos1Dlg::ScrollToLastLines() {
  SaleGrid().SetTopRow(std::max(0, SaleGrid().GetRowCount() - kVisibleLines));
}

void PVpos1Dlg::AcceptItem() {
  DoScrToApp();
  bTOTAMT = false;
  if (!VerifyPOS1File) CreateLineTableModel();
  if (Data.RECNO == 0 && !VerifyPOS1File->VerifyRequiredFields()) {
    Data.RECNO = 0;
    return;
  }
  VerifyPOS1File->AddItem();
  for (int id = IDC_IREF; id <= IDC_ENTRYTOTAL; ++id) UnprotectField(id);
  OrderHasItems = 1;
  DisplayAvailKeys(Mode, OrderHasItems, "IREF");
  ScrollToLastLines();
  NewItem();
}

void PVpos1Dlg::EditItems() {
  Mode = 1;
  TDataTbl& g = SaleGrid();
  g.SetReadOnly(false);
  SetFieldColors(IDC_DATATBL1, KVT_NORMAL_FG, KVT_HIGHLIGHT_BG);
  if (g.GetSelRow() == KVT_NONE && g.GetRowCount() > 0) g.SelRow(g.GetRowCount() - 1);
  DisplayAvailKeys(Mode, OrderHasItems, "");
  KVTSetFieldFocus(IDC_DATATBL1);
}

void PVpos1Dlg::EnterItems() {
  Mode = 0;
  DisplayAvailKeys(Mode, OrderHasItems, "IREF");
  ScrollToLastLines();
  NewItem();
  SaleGrid().SetReadOnly(true);
  SetFieldColors(IDC_DATATBL1, KVT_DEFAULT_COLOR, KVT_DEFAULT_COLOR);
}

void PVpos1Dlg::TotalSale() {
  DoScrToApp();
  PostMessage(WM_COMMAND, CM_SELECTTAB);
}

void PVpos1Dlg::DoSelectTab() {
  Tbacktab* tabs = TabWindow();
  if (!tabs) return;
  tabs->EnableTab(0, false);
  tabs->EnableTab(1, true);
  tabs->SelectTab(1);
}

void PVpos1Dlg::PymtOnAcct() {
  KVTSetSetting(szPayOnAcct, "Y");
  if (bCrestpayInstalled && bFarmPlanAccepted)
    bFarmPlanPayment = MessageBox("Will this be a Farm Plan payment?", PROGRAM_NAME,
                                  MB_YESNO | MB_DEFBUTTON2) == IDYES;
  PostMessage(WM_COMMAND, CM_SELECTTAB);
}

void PVpos1Dlg::CashCheck() {
  DoScrToApp();
  KVTSetSetting(szCashCheck, "Y");
  PostMessage(WM_COMMAND, CM_SELECTTAB);
}

void PVpos1Dlg::VoidThisSale() {
  DoScrToApp();
  KVTSetSetting(szVoidTheSale, "Y");
  PostMessage(WM_COMMAND, CM_SELECTTAB);
}

void PVpos1Dlg::SuspendItems() {
  if (SaleGrid().GetRowCount() == 0) {
    MessageBox("No Items to suspend!", "Error", MB_OK | MB_ICONSTOP);
    return;
  }
  DoScrToApp();
  SaleTexts texts;
  texts.total = Data.TOTAL;
  texts.taxAmt = Data.TAXTOTAL;
  texts.dob = Data.DTOFBRTH;
  // A refused save has told the cashier why and keeps the sale on screen.
  if (!SaveOrder("S", "S", texts)) return;
  NewOrder();
}

void PVpos1Dlg::NoSale() {
  DoScrToApp();
  SaleTexts texts;
  if (!SaveOrder("N", "C", texts)) return;
  OpenTillDrawer();
  if (Is(CFG_PRINTNOSALERECEIPT, "T")) PrintCustomerReceipt(Data.INVOICELNK, 0);
  MessageBox("Please close cash drawer and press <ENTER> to continue.", PROGRAM_NAME, MB_OK);
  NewOrder();
}

void PVpos1Dlg::CloseOutTill() {
  if (Is(CFG_TILLREFATCLOSEOUT, "T") &&
      MessageBox("Till Report Only?", PROGRAM_NAME, MB_YESNO | MB_DEFBUTTON2) == IDYES) {
    PrintCloseOut(Data.STORE, Data.SHIFTDATE, Data.TILLREF, Data.EMPLOYEE, Data.SHIFT, 1);
    NewOrder();
    return;
  }
  if (MessageBox("Closing Out Till - Are you sure?", PROGRAM_NAME, MB_YESNO) != IDYES) {
    NewOrder();
    return;
  }
  if (EndShift()) CloseForNextCashier();
}

bool PVpos1Dlg::EndShift() {
  // Declining to void the parked sales leaves the screen as it is.
  if (!CheckForSuspendedSales()) return false;
  OpenTillDrawer();
  PrintCloseOut(Data.STORE, Data.SHIFTDATE, Data.TILLREF, Data.EMPLOYEE, Data.SHIFT, 0);
  RemoveLoginInfo(Data.STORE, Data.SHIFTDATE, Data.TILLREF, Data.SHIFT);
  return true;
}

void PVpos1Dlg::CloseForNextCashier() {
  PostMessage(WM_COMMAND, IDCANCEL);
  if (POSTILL != 0) LoginAfterClose();
}

void PVpos1Dlg::CheckItemQtys(const char* status) {
  const bool returned = Is(status, "H") || Is(status, "C") || Is(status, "A");
  TDataTbl& g = SaleGrid();
  for (int row = 0; row < g.GetRowCount(); ++row) {
    kvt::sale::Line l = GetSaleLine(row);
    if (returned && l.Quantity() > 0) l.quantity = "-" + l.quantity;
    if (!l.voided && l.description != "VOID")
      l.amount = kvt::sale::LineAmount(l.Quantity(), l.Price());
    PutSaleLine(row, l);
  }
}

void PVpos1Dlg::GetEmployeeID() {
  std::unique_ptr<PVDialog> popup(KVTNewDialog("PVempidDlg", Handle(), "Employee"));
  if (auto* keyed = dynamic_cast<KVTKeyedScreen*>(popup.get()); keyed && !*Data.EMPLOYEE)
    keyed->KVTSetReference(Data.LOGINEMP);
  if (popup->Execute() == IDOK)
    SetFieldVar(IDC_EMPLOYEE, popup->GetFieldText(IDC_EMPLOYEE).c_str());
  DoAppToScr(IDC_EMPLOYEE);
}

// ---- Field flow --------------------------------------------------------------
// While the cashier keys through an item in the sale window, a field that
// needs no answer is checked and passed at once; a field reached by the
// mouse, or on the screen made on its own, waits for input.

bool PVpos1Dlg::KeyingThrough() const {
  return TabWindow() && KVTLastMessageWasKey();
}

void PVpos1Dlg::CheckAndMoveTo(int field, int next) {
  DoScrToApp(field);
  if (VerifyPOS1File && VerifyPOS1File->VerifyFields(field) == 0) KVTSetFieldFocus(next);
}

void PVpos1Dlg::Even_setfocusidc_iref() {
  DisplayAvailKeys(Mode, OrderHasItems, "IREF");
}

void PVpos1Dlg::Even_setfocusidc_idescr() {
  EnteringItem = 1;
  if (!KeyingThrough() || (bDescriptionEdittable && !bTOTAMT))
    DisplayAvailKeys(Mode, OrderHasItems, "DESCRIPTION");
  else
    CheckAndMoveTo(IDC_IDESCR, bTOTAMT ? IDC_ENTRYTOTAL : IDC_QTYORDERED);
}

void PVpos1Dlg::Even_setfocusidc_qtyordered() {
  EnteringItem = 1;
  if (!KeyingThrough() || bPromptOnQty)
    DisplayAvailKeys(Mode, OrderHasItems, "QTYORDERED");
  else  // without a price field the quantity's check settles the price too
    CheckAndMoveTo(IDC_QTYORDERED, Is(CFG_DISPLAYPRICEEACH, "T") ? IDC_PRICE : IDC_ENTRYTOTAL);
}

void PVpos1Dlg::Even_setfocusidc_price() {
  EnteringItem = 1;
  if (!KeyingThrough()) return DisplayAvailKeys(Mode, OrderHasItems, "PRICE");
  DoScrToApp(IDC_PRICE);
  const bool zero = std::atof(Data.PRICE) == 0;
  if (zero) SetFieldVar(IDC_PRICE, "");
  if (bTillCodePriceZero)
    KVTSetFieldFocus(IDC_ENTRYTOTAL);
  else if (!zero && !bPromptOnPrice)
    CheckAndMoveTo(IDC_PRICE, IDC_ENTRYTOTAL);
  else
    DisplayAvailKeys(Mode, OrderHasItems, "PRICE");
}

void PVpos1Dlg::Even_setfocusidc_entrytotal() {
  EnteringItem = 1;
  if (!KeyingThrough()) return DisplayAvailKeys(Mode, OrderHasItems, "ENTRYTOTAL");
  DoScrToApp(IDC_ENTRYTOTAL);
  if (std::atof(Data.ENTRYTOTAL) == 0) SetFieldVar(IDC_ENTRYTOTAL, "");
  if (!bPromptOnAmount && VerifyPOS1File)
    VerifyPOS1File->VerifyFields(IDC_ENTRYTOTAL);  // accepts the item
  // An amount still to be keyed (none yet, or refused) says so.
  if (GetFocusField() == IDC_ENTRYTOTAL) DisplayAvailKeys(Mode, OrderHasItems, "ENTRYTOTAL");
}

// ---- Keys --------------------------------------------------------------------

namespace {

kvt::sale::SaleKeyConfig KeyConfig() {
  kvt::sale::SaleKeyConfig c;
  c.useInventory = Is(CFG_USEINVENTORY, "T");
  c.allowRemoveTax = Is(CFG_ALLOWREMOVETAX, "T");
  c.allowReturnPreviousItem = Is(CFG_ALLOWRTNPRVITEM, "T");
  c.allowViewCustomerBalance = Is(CFG_ALLOWVIEWCUSTOMERBALANCE, "T");
  c.allowVoidTab1 = Is(CFG_ALLOWVOIDTAB1, "T");
  c.allowCashChecking = Is(CFG_ALLOWCASHCHECKING, "T");
  return c;
}

}  // namespace

kvt::sale::SaleKeyState PVpos1Dlg::KeyState() const {
  kvt::sale::SaleKeyState s;
  s.orderHasItems = OrderHasItems != 0;
  s.enteringItem = EnteringItem != 0;
  s.mode = Mode;
  s.secPriceAvail = SecPriceAvail != 0;
  s.gridSelection = const_cast<PVpos1Dlg*>(this)->SaleGrid().GetSelRow();
  return s;
}

bool PVpos1Dlg::PreProcessMsg(MSG& msg) {
  if (msg.message != WM_KEYDOWN) return KVTPropertyPage::PreProcessMsg(msg);
  kvt::sale::SaleKeyPress key;
  key.vk = static_cast<UINT>(msg.wParam);
  key.shift = GetKeyState(VK_SHIFT) < 0;
  key.ctrl = GetKeyState(VK_CONTROL) < 0;
  key.alt = GetKeyState(VK_MENU) < 0;
  kvt::sale::SaleKeyAction action = kvt::sale::DecideSaleKey(key, KeyState(), KeyConfig());
  if (action == kvt::sale::SaleKeyAction::PassOn) return KVTPropertyPage::PreProcessMsg(msg);
  DoSaleKey(action);
  return true;
}

void PVpos1Dlg::DoSaleKey(kvt::sale::SaleKeyAction action) {
  using A = kvt::sale::SaleKeyAction;
  switch (action) {
    case A::TogglePrice:
      TogglePrice();
      break;
    case A::NoSale:
      NoSale();
      break;
    case A::CloseOutTill:
      CloseOutTill();
      break;
    case A::RemoveTax:
      RemoveTax();
      break;
    case A::SuspendItems:
      SuspendItems();
      break;
    case A::ReturnPreviousItem:
      ReturnPreviousItem();
      break;
    case A::ViewCustomerBalance:
      ViewCustomerBalance();
      break;
    case A::PymtOnAcct:
      PymtOnAcct();
      break;
    case A::VoidThisSale:
      VoidThisSale();
      break;
    case A::CashCheck:
      CashCheck();
      break;
    case A::TotalSale:
      TotalSale();
      break;
    case A::EditLines:
      PostMessage(WM_COMMAND, CM_EDITITEMS);
      break;
    case A::FinishEditing:
      PostMessage(WM_COMMAND, CM_ENTERITEMS);
      break;
    case A::VoidItem:
      VoidItem();
      break;
    case A::ViewPriceCheck:
      ViewPriceCheck();
      break;
    case A::ViewSuspendedItems:
      ViewSuspendedItems();
      break;
    case A::ViewPreviousSale:
      ViewPreviousSale();
      break;
    case A::Transfer:
      Transfer();
      break;
    case A::Swallow:
    case A::PassOn:
      break;
  }
}

bool PVpos1Dlg::SuspendedSalesExist() {
  kvt::sql::Result r = kvt::sql::Run(
      "SELECT INVOICENUM FROM KVTPOS1 WHERE STATUS = 'S' AND TILLREF = ? AND SHIFT = ? AND "
      "STORE = ? AND INVDATE = ?",
      {kvt::sql::Text(Data.TILLREF), kvt::sql::Text(Data.SHIFT), kvt::sql::Text(Data.STORE),
       kvt::sql::Date(Data.SHIFTDATE)});
  if (r.found() == kvt::sql::Found::Failed) {
    std::string text = "The suspended sales could not be read:\n\n" + r.error();
    MessageBox(text.c_str(), "Error", MB_OK | MB_ICONSTOP);
  }
  return r.found() == kvt::sql::Found::Yes;
}

void PVpos1Dlg::DisplayAvailKeys(int mode, int hasLines, const char* field) {
  const std::string f = field ? field : "";
  // Only the empty sale's help shows the suspended sales.
  const bool suspended = mode == 0 && !hasLines && f == "IREF" && SuspendedSalesExist();
  kvt::sale::SaleKeyHelp help = kvt::sale::DecideSaleKeyHelp(
      mode, hasLines != 0, f, SecPriceAvail != 0, suspended, KeyConfig());
  for (int id : kvt::sale::kSaleKeyHelpIds) {
    auto it = help.texts.find(id);
    SetFieldVar(id, it == help.texts.end() ? "" : it->second.c_str());
    SetFieldColors(id, KVT_DEFAULT_COLOR, KVT_DEFAULT_COLOR);
  }
  if (help.suspendedInRed) SetFieldColors(187, KVT_RED, KVT_DEFAULT_COLOR);
  if (mode == 0) SetFieldVar(IDC_SECPRICE_HINT, help.priceHint.c_str());
}

KVT_REGISTER_SCREEN(PVpos1Dlg);
