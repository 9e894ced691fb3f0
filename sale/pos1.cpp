// The sale entry screen: its form and its life.
#include "sale/pos1.h"

#include "shell/screens.h"

namespace {

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
}

PVpos1Dlg::~PVpos1Dlg() {
  ReleaseInstanceID();
}

KVT_REGISTER_SCREEN(PVpos1Dlg);
