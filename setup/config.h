// The six tabs of "Configure Point Of Sale" (DoPOSConfig): PVconfig1Dlg
// General, PVconfig2Dlg Entry, PVconfig3Dlg Payment, PVconfig3aDlg
// Additional payment, PVconfig4Dlg Printing and PVconfig5Dlg Transfer
// options. Each tab shows its columns of the configuration record
// (KVTConfigColumns); Save on any tab checks and writes all six.
#pragma once

#include "platform/forms/forms.h"
#include "setup/posconfig.h"

class KVTConfigPage : public KVTPropertyPage {
 public:
  enum : int { IDC_SAVE = 90, IDC_FIRSTCOLUMN = 1000 };

  KVTConfigPage(HWND parent, int tab, const char* className, const char* title);
  // The field of a column of this tab; 0 when the column is on another.
  int FieldOf(const std::string& column) const;
  // This tab's values into `values`.
  void Collect(KVTConfigValues* values) const;
  // Checks every tab's values and writes the record; a bad value selects
  // its tab and field. True when saved (the window then closes).
  bool Cmidc_save();

 protected:
  void SetupWindow() override;

 private:
  static KVTFormDecl MakeForm(int tab, const char* className, const char* title);
  int tab_;
};

class PVconfig1Dlg : public KVTConfigPage {
 public:
  explicit PVconfig1Dlg(HWND parent)
      : KVTConfigPage(parent, 1, "PVconfig1Dlg", "&1-General Options") {}
};
class PVconfig2Dlg : public KVTConfigPage {
 public:
  explicit PVconfig2Dlg(HWND parent)
      : KVTConfigPage(parent, 2, "PVconfig2Dlg", "&2-Entry Options") {}
};
class PVconfig3Dlg : public KVTConfigPage {
 public:
  explicit PVconfig3Dlg(HWND parent)
      : KVTConfigPage(parent, 3, "PVconfig3Dlg", "&3-Payment Options") {}
};
class PVconfig3aDlg : public KVTConfigPage {
 public:
  explicit PVconfig3aDlg(HWND parent)
      : KVTConfigPage(parent, 4, "PVconfig3aDlg", "&4-Add'l Payment Options") {}
};
class PVconfig4Dlg : public KVTConfigPage {
 public:
  explicit PVconfig4Dlg(HWND parent)
      : KVTConfigPage(parent, 5, "PVconfig4Dlg", "&5-Printing Options") {}
};
class PVconfig5Dlg : public KVTConfigPage {
 public:
  explicit PVconfig5Dlg(HWND parent)
      : KVTConfigPage(parent, 6, "PVconfig5Dlg", "&6-Transfer Options") {}
};
