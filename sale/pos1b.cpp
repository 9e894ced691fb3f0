// Saving a sale: the sale screen's forwarders to the sale writer, and its instance id.
#include <cstring>
#include <ctime>

#include "platform/base/kvtbase.h"
#include "sale/pos1.h"
#include "shell/globals.h"

namespace {

// The last number and link handed out.
char szSaleNum[81];
char szSaleLnk[81];

const char* Text(const char* s) {
  return s ? s : "";
}

std::string Trimmed(const char* s) {
  char buf[81];
  KVTsprintf(buf, "%s", Text(s));
  return TRIM(buf);
}

const char* Keep(char (&buffer)[81], const std::string& value) {
  KVTsprintf(buffer, "%s", value.c_str());
  return buffer;
}

}  // namespace

kvt::sale::SaleWriter& PVpos1Dlg::Writer() {
  if (!writer_) writer_ = std::make_unique<kvt::sale::SaleWriter>(Handle() ? Handle() : Parent());
  return *writer_;
}

void PVpos1Dlg::SaveMessage(const std::vector<kvt::sale::Notice>& notices) {
  for (const kvt::sale::Notice& n : notices)
    MessageBox(n.text.c_str(), "Error", MB_OK | (n.stop ? MB_ICONSTOP : MB_ICONINFORMATION));
}

kvt::sale::Header PVpos1Dlg::SaleHeader(const char* TransType, const char* Status,
                                        const char* SaleTime, const char* SaleDate,
                                        const SaleTexts& texts) {
  const PVpos1Data& d = Data;
  return {Text(TransType), Text(Status),   d.INVOICENUM, d.INVOICELNK, d.RECNO,
          d.STORE,         d.TILLREF,      d.SHIFT,      d.EMPLOYEE,   d.SHIFTDATE,
          Text(SaleDate),  Text(SaleTime), texts};
}

void PVpos1Dlg::KeepSaleNumbers(const kvt::sale::Header& h) {
  SetFieldVar(IDC_INVOICENUM, h.invoiceNum.c_str());
  SetFieldVar(IDC_INVOICELNK, h.invoiceLnk.c_str());
  Data.RECNO = h.recno;
  DoAppToScr(IDC_RECNO);
}

std::vector<kvt::sale::TaxLine> PVpos1Dlg::SavedTaxes(const char* TaxTotal) {
  const std::vector<std::string> amounts = TaxRowSaveAmounts(Text(TaxTotal));
  TDataTbl& grid = TaxGrid();
  std::vector<kvt::sale::TaxLine> taxes;
  for (int r = 0; r < grid.GetRowCount(); ++r)
    taxes.push_back({grid.GetCell(TAXCOL_CODE, r), grid.GetCell(TAXCOL_RATE, r),
                     amounts[static_cast<std::size_t>(r)], grid.GetCell(TAXCOL_ITEMLINK, r)});
  return taxes;
}

// ---- The sale ----------------------------------------------------------------

bool PVpos1Dlg::SaveOrder(
    const char* TransType, const char* Status, const char* CustRef, const char* CustName,
    const char* CashAmt, const char* CheckAmt, const char* CreditAmt, const char* CashRet,
    const char* ChargeAmt, const char* ChargeRet, const char* FSAmt, const char* CashPay,
    const char* CheckPay, const char* Total, const char* TotalPaid, const char* PymtMethod,
    const char* NetAmt, const char* NonTaxAmt, const char* Discount, const char* Change,
    const char* CheckNum, const char* CheckAcct, char* CCNumber, char* CCExpDate,
    const char* CCType, const char* CCAuthNum, const char* PO, const char* CreditPay,
    const char* FSChange, const char* TaxAmt, const char* DOB, const char* FPAmt, const char* FPRet,
    const char* FPCashPay, const char* FPCheckPay, const char* FPDBC, const char* FPDBCDesc,
    const char* FPCPN, const char* FPCPNDesc, const char* FPAuthNum, const char* FPC2Ref,
    const char* FPRepayTrm, const char* FPTandC, const char* FPAccNum, const char* CreditRet,
    const char* GCAmt, const char* GCPay, const char* GCType, const char* GCNumber,
    const char* GCExpDate, const char* GCAuthNum, const char* CanExchg, const char* CanAmt) {
  SaleTexts t{
      Text(CustRef),   Text(CustName),  Text(CashAmt),    Text(CheckAmt),   Text(CreditAmt),
      Text(CashRet),   Text(ChargeAmt), Text(ChargeRet),  Text(FSAmt),      Text(CashPay),
      Text(CheckPay),  Text(Total),     Text(TotalPaid),  Text(PymtMethod), Text(NetAmt),
      Text(NonTaxAmt), Text(Discount),  Text(Change),     Text(CheckNum),   Text(CheckAcct),
      Text(CCNumber),  Text(CCExpDate), Text(CCType),     Text(CCAuthNum),  Text(PO),
      Text(CreditPay), Text(FSChange),  Text(TaxAmt),     Text(DOB),        Text(FPAmt),
      Text(FPRet),     Text(FPCashPay), Text(FPCheckPay), Text(FPDBC),      Text(FPDBCDesc),
      Text(FPCPN),     Text(FPCPNDesc), Text(FPAuthNum),  Text(FPC2Ref),    Text(FPRepayTrm),
      Text(FPTandC),   Text(FPAccNum),  Text(CreditRet),  Text(GCAmt),      Text(GCPay),
      Text(GCType),    Text(GCNumber),  Text(GCExpDate),  Text(GCAuthNum),  Text(CanExchg),
      Text(CanAmt)};
  bool saved = SaveOrder(TransType, Status, t);
  // Masking never lengthens the number, so it fits the caller's buffer.
  if (CCNumber) std::memcpy(CCNumber, t.ccNumber.c_str(), t.ccNumber.size() + 1);
  if (CCExpDate && t.ccExpDate.empty()) CCExpDate[0] = '\0';
  return saved;
}

bool PVpos1Dlg::SaveOrder(const char* TransType, const char* Status, SaleTexts& texts) {
  DoScrToApp();
  KVTWaitCursor wait;
  std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  char saleTime[16];
  KVTsprintf(saleTime, "%2d:%02d:%02d", local.tm_hour, local.tm_min, local.tm_sec);
  kvt::sale::Header h = SaleHeader(TransType, Status, saleTime, CurrentDate().c_str(), texts);
  bool saved = Writer().Save(h, GetSaleLines(), SavedTaxes(texts.taxAmt.c_str()), sInstanceID);
  texts = h.texts;
  KeepSaleNumbers(h);
  SaveMessage(Writer().TakeNotices());
  return saved;
}

// ---- Numbers ---------------------------------------------------------------------

const char* PVpos1Dlg::GetNextSaleNum() {
  const char* number = Keep(szSaleNum, Writer().NextSaleNumber(Trimmed(Data.STORE)));
  sNumberingError = Writer().error();
  return number;
}

const char* PVpos1Dlg::StoreGetNextSaleNum() {
  const char* number = Keep(szSaleNum, Writer().StoreNextSaleNumber(Trimmed(Data.STORE)));
  sNumberingError = Writer().error();
  return number;
}

const char* PVpos1Dlg::POSConfigGetNextSaleNum() {
  const char* number = Keep(szSaleNum, Writer().ConfigNextSaleNumber());
  sNumberingError = Writer().error();
  return number;
}

const char* PVpos1Dlg::GetNextSaleLink() {
  const char* link = Keep(szSaleLnk, Writer().NextSaleLink(sInstanceID));
  sNumberingError = Writer().error();
  return link;
}

// ---- The parts of a save -----------------------------------------------------------

bool PVpos1Dlg::InsertKVTPOS1(const char* TransType, const char* Status, const char* SaleTime,
                              const char* SaleDate, SaleTexts& texts) {
  kvt::sale::Header h = SaleHeader(TransType, Status, SaleTime, SaleDate, texts);
  bool ok = Writer().InsertHeader(h);
  texts = h.texts;
  SaveMessage(Writer().TakeNotices());
  return ok;
}

bool PVpos1Dlg::UpdateKVTPOS1(const char* TransType, const char* Status, const char* SaleTime,
                              const char* SaleDate, SaleTexts& texts) {
  kvt::sale::Header h = SaleHeader(TransType, Status, SaleTime, SaleDate, texts);
  bool ok = Writer().UpdateHeader(h);
  texts = h.texts;
  KeepSaleNumbers(h);
  SaveMessage(Writer().TakeNotices());
  return ok;
}

bool PVpos1Dlg::SaveTable(const char* InvoiceNum, const char* Status, const char* SaleDate,
                          const char* InvoiceLnk) {
  kvt::sale::Header h = SaleHeader("", Status, "", SaleDate, {});
  h.invoiceNum = Text(InvoiceNum);
  h.invoiceLnk = Text(InvoiceLnk);
  bool ok = Writer().SaveLines(h, GetSaleLines());
  SaveMessage(Writer().TakeNotices());
  return ok;
}

bool PVpos1Dlg::InsertKVTPOS2(const SaleLineRow& row) {
  bool ok = Writer().InsertLine(row);
  SaveMessage(Writer().TakeNotices());
  return ok;
}

bool PVpos1Dlg::SaveTaxes(const char* InvoiceNum, const char* TaxTotal, const char* InvoiceLnk) {
  kvt::sale::Header h;
  h.invoiceNum = Text(InvoiceNum);
  h.invoiceLnk = Text(InvoiceLnk);
  bool ok = Writer().SaveTaxes(h, SavedTaxes(TaxTotal));
  SaveMessage(Writer().TakeNotices());
  return ok;
}

bool PVpos1Dlg::InsertKVTPOS3(const char* InvoiceNum, const char* TaxCode, const char* TaxRate,
                              const char* TaxAmt, const char* Recno, const char* ItemLnk,
                              const char* InvoiceLnk) {
  kvt::sale::Header h;
  h.invoiceNum = Text(InvoiceNum);
  h.invoiceLnk = Text(InvoiceLnk);
  bool ok = Writer().InsertTax(h, {Text(TaxCode), Text(TaxRate), Text(TaxAmt), Text(ItemLnk)},
                               Text(Recno));
  SaveMessage(Writer().TakeNotices());
  return ok;
}

bool PVpos1Dlg::ReduceInvQOH(const char* InvRef, const char* Location, const char* QtySold,
                             const char* UnitCost, const char* Amount, const char* InvoiceLnk,
                             const char* InvoiceNum, const char* SaleDate) {
  std::vector<kvt::sale::Notice> notices;
  bool ok = kvt::sale::SaleStock(Handle() ? Handle() : Parent())
                .ReduceQuantity({Text(InvRef), Text(Location), Text(QtySold), Text(UnitCost),
                                 Text(Amount), Text(InvoiceLnk), Text(InvoiceNum), Text(SaleDate)},
                                &notices);
  SaveMessage(notices);
  return ok;
}

bool PVpos1Dlg::UpdateCategoryHistory(const char* Category, const char* Store, const char* Qty,
                                      const char* Amount) {
  std::vector<kvt::sale::Notice> notices;
  bool ok = kvt::sale::SaleStock(Handle() ? Handle() : Parent())
                .UpdateCategoryHistory(Text(Category), Text(Store), std::atof(Text(Qty)),
                                       std::atof(Text(Amount)), &notices);
  SaveMessage(notices);
  return ok;
}

// ---- The instance id ------------------------------------------------------------

std::string PVpos1Dlg::BuildInstanceID(int n, bool reset) {
  sInstanceID = kvt::shell::InstanceIdName(n) + (reset ? "" : sInstanceID);
  return sInstanceID;
}

bool PVpos1Dlg::SetInstanceID() {
  sInstanceID = kvt::shell::ClaimInstanceId();
  sProcessLockID = sInstanceID.empty() ? "" : kvt::shell::InstanceLockName(sInstanceID);
  return !sInstanceID.empty();
}

void PVpos1Dlg::ReleaseInstanceID() {
  kvt::shell::ReleaseInstanceLock(sProcessLockID);
  sProcessLockID.clear();
  sInstanceID.clear();
}
