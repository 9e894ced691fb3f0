// The import sales screen (PVimpsalesDlg): lists the "ST-" files of a store
// and till from the till's exchange directory (or, re-importing, from the
// archive) and hands each marked file to the transfer module. A till on a
// direct connection has no files to import. The screen forwards to
// KVTImportSalesForm, a file-list import (KVTFileImportForm).
#pragma once

#include <string>

#include "backoffice/fileimport.h"
#include "platform/forms/forms.h"

struct PVimpsalesData {
  char STORE[7];
  char TILLREF[7];
};

class KVTImportSalesForm : public KVTFileImportForm {
 public:
  enum : int { COL_SHIFT = COL_DATE + 1, COL_CREATED, COL_SORT };

  static const KVTFormDecl& FormDecl();
  explicit KVTImportSalesForm(KVTScreen* screen);

  void InitForm() override;
  void DisplayDataToImport(const std::string& store, const std::string& till) override;

  PVimpsalesData Data{};

 protected:
  void SetTexts(bool reimport) override;
  void FillRow(TDataTbl* grid, const KVTExchangeFile& file) override;
  Outcome ImportRow(int row, std::string* error) override;
  const char* ErrorCaption() const override { return "Import Sales Error"; }
  bool SalesSummary() const override { return true; }
};

class PVimpsalesDlg : public PVMDIDialog {
 public:
  explicit PVimpsalesDlg(HWND parent);
  KVTImportSalesForm Form{this};

 protected:
  void SetupWindow() override { Form.InitForm(); }
  bool PreProcessMsg(MSG& msg) override;
};
