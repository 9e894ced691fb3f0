// The payment screen's tenders that the financing and card module runs:
// the request, the answer put into the tender's fields, the tender recorded.
#include <cstdlib>
#include <string>
#include <vector>

#include "payment/fieldtext.h"
#include "payment/financing.h"
#include "payment/pos2.h"
#include "platform/base/kvtbase.h"
#include "sale/pos1.h"
#include "shell/dbutil.h"
#include "shell/globals.h"
#include "shell/kvtintob.h"

namespace pay = kvt::payment;

namespace {

using kvt::payment::Put;
using kvt::payment::Trimmed;

std::string Money(double v) {
  char buf[64];
  KVTsprintf(buf, sizeof buf, "%.2f", KVTRound(v, 2));
  return buf;
}

}  // namespace

bool PVpos2Dlg::ModuleTender(char form) {
  PVpos1Dlg* s = Sale();
  if (!s) return false;
  pay::ModuleState st;
  st.installed = s->bCrestpayInstalled;
  st.cardsAccepted = s->bCrestpayCreditCardsAccepted;
  st.farmPlanAccepted = s->bFarmPlanAccepted;
  st.payOnAcct = PayOnAcct();
  st.farmPlanPayment = s->bFarmPlanPayment;
  st.fpCashPay = sFPCashPay;
  st.fpCheckPay = sFPCheckPay;
  const std::string event = pay::ModuleEvent(form, st);
  if (event.empty()) return false;
  if (!RunModuleTender(form, event)) {
    // Nothing was recorded: the cashier chooses another form of payment.
    NewPayment();
    FocusFormList();
  }
  return true;
}

bool PVpos2Dlg::RunModuleTender(char form, const std::string& event) {
  PVpos1Dlg* s = Sale();
  if (Trimmed(Data.INVOICENUM).empty()) {
    const std::string number = s->GetNextSaleNum();
    if (number.empty()) {
      KVTShowReadError(Handle(), "The next sale number", s->sNumberingError);
      return false;
    }
    Put(s->Data.INVOICENUM, number);
    s->SetFieldVar(IDC_INVOICENUM, number.c_str());
    Put(Data.INVOICENUM, number);
  }
  const bool card = form == '3' || form == '9';
  KVTModuleInterface module(Handle(), pay::ModuleClass(event));
  module.AddModule("KVTJD.DLL");
  auto destroy = [&module, this] {
    module.Reset();
    module.hWnd = Handle();
    module.CallEvent("KVTDestroyEvent");
  };
  module.Reset();
  module.hWnd = Handle();
  module.CallEvent("KVTInitializeEvent");
  if (module.Error()) {
    MessageBox("Error initializing Crestpay program module.", "Kovatel Software",
               MB_OK | MB_ICONEXCLAMATION);
    destroy();
    return false;
  }
  module.Reset();
  module.hWnd = Handle();
  pay::ModuleRequest request{Trimmed(Data.INVOICENUM),
                             INVENTORY_LOCATION,
                             "",
                             Data.TOTAL,
                             Money(std::atof(Data.TOTAL) - std::atof(Data.AMTREMAIN)),
                             card && PayOnAcct()};
  module.Param1 = pay::RequestText(request);
  if (form == 'A' || form == 'B') {
    std::vector<pay::FinancedLine> lines;
    TDataTbl& g = s->SaleGrid();
    for (int r = 0; r < g.GetRowCount(); ++r)
      lines.push_back({g.GetCell(COL_DESCR, r), g.GetCell(COL_QTY, r), g.GetCell(COL_PRICE, r),
                       g.GetCell(COL_REF, r), g.GetCell(COL_AMOUNT, r)});
    module.Param3 = pay::LinesText(lines, s->Data.TAXTOTAL);
  }
  module.CallEvent(event);
  if (module.Error()) {
    MessageBox(module.GetErrorString().c_str(), "Kovatel Software", MB_OK | MB_ICONEXCLAMATION);
    destroy();
    return false;
  }
  std::map<std::string, std::string> a = pay::KVTParseTabDelim(module.Param2);
  Put(Data.AMOUNT, a["00"]);
  Put(Data.CUSTREF, a["01"]);
  Put(Data.CUSTNAME, a["02"]);
  if (card) {
    std::string code, error;
    if (!pay::CardCode(INVENTORY_LOCATION, a["CT"], &code, &error))
      KVTShowReadError(Handle(), "The card type", error);
    Put(Data.PI1, code);
    Put(Data.PI2, a["03"]);
    Put(Data.PI3, a["04"]);
    Put(Data.PI4, a["09"]);
    Put(szExpDate, a["04"]);
  } else {
    Put(Data.PI1, a["03"]);
    Put(Data.PI2, a["04"]);
    Put(Data.PI3, a["06"]);
    Put(Data.PI4, a["13"]);
    Put(szSaveCustRef, a["01"]);
    sFPAmt.clear(), sFPRet.clear(), sFPCashPay.clear(), sFPCheckPay.clear();
    sFPDBC = a["04"], sFPDBCDesc = a["05"], sFPCPN = a["06"], sFPCPNDesc = a["07"];
    sFPAuthNum = a["09"], sFPCrestpayRef = a["10"], sFPRepayTrm = a["11"], sFPTandC = a["12"];
    sFPAccNum = a["03"];
  }
  const char* labels[] = {
      card ? "Card Type : " : "Farm Plan Account : ", card ? "Card Number : " : "DBC : ",
      card ? "Exp Date : " : "CPN : ", card ? "Authorization Number : " : "PO Number : "};
  const int details[] = {IDC_PI1, IDC_PI2, IDC_PI3, IDC_PI4};
  for (int i = 0; i < 4; ++i) ShowTenderField(details[i], labels[i]);
  ShowTenderField(IDC_CUSTREF, "");
  ShowTenderField(IDC_CUSTNAME, "");
  ShowTenderField(IDC_AMOUNT, "Amount : ");
  DoAppToScr();
  for (int id : {IDC_CUSTREF, IDC_CUSTNAME, IDC_PI1, IDC_PI2, IDC_PI3, IDC_PI4, IDC_AMOUNT})
    ProtectField(id);
  // As if the cashier had keyed the amount: the tender is recorded.
  AcceptAmount();
  if (!a["S1"].empty()) MessageBox(a["S2"].c_str(), a["S1"].c_str(), MB_OK | MB_ICONINFORMATION);
  destroy();
  return true;
}
