// The tax detail popup of the daily sales review.
#include "backoffice/viewtd.h"

#include "backoffice/dailysales.h"
#include "shell/screens.h"

const KVTFormDecl& PVviewtdDlg::FormDecl() {
  static const KVTFormDecl form = [] {
    KVTFormDecl f("PVviewtdDlg", "Tax Detail", 92, 18);
    KVTFieldDecl& grid = f.Grid(IDC_DATATBL, 1, 1, 12);
    for (auto [title, width] : {std::pair{"Inv Ref", 14},
                                {"Till Code", 9},
                                {"Description", 26},
                                {"Tax Code", 9},
                                {"Tax Rate", 9},
                                {"Tax Amount", 10}})
      grid.Column(title, width, 81);
    grid.Column("Item Link", 10, 81).Hidden();
    f.Button(IDC_CLOSE, "Close", 40, 15);
    f.Help(0, "Press ESC to exit", 2, 16, 30);
    return f;
  }();
  return form;
}

PVviewtdDlg::PVviewtdDlg(HWND parent) : PVDialog(parent, FormDecl()) {}

void PVviewtdDlg::SetupWindow() {
  kvt::sql::Result r = KVTDailySales::TaxDetail(link_);
  if (!r.ok()) {
    std::string text = "The sale's taxes could not be read:\n\n" + r.error();
    MessageBox(text.c_str(), "Error", MB_OK | MB_ICONSTOP);
    return;
  }
  TDataTbl* grid = Grid(IDC_DATATBL);
  for (const kvt::sql::Row& row : r.rows()) {
    grid->InsertRow();
    int col = 0;
    for (const char* c : {"INVREF", "TILLCODE", "DESCR", "TAXCODE", "TAXRATE", "TAXAMT", "ITEMLNK"})
      grid->UpdateCell(col++, row[c]);
  }
  KVTSetFieldFocus(IDC_DATATBL);
}

KVT_REGISTER_SCREEN(PVviewtdDlg);
