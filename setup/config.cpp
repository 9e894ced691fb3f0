// The six tabs of the POS configuration screen.
#include "setup/config.h"

#include <algorithm>
#include <string>

#include "platform/forms/frames.h"
#include "shell/screens.h"

namespace {

const std::vector<KVTConfigColumn>& Columns() {
  return KVTConfigColumns();
}

}  // namespace

KVTFormDecl KVTConfigPage::MakeForm(int tab, const char* className, const char* title) {
  KVTFormDecl f(className, title, 100, 4);
  int row = 0;
  for (std::size_t i = 0; i < Columns().size(); ++i) {
    const KVTConfigColumn& c = Columns()[i];
    if (c.tab != tab) continue;
    int x = row % 2 == 0 ? 38 : 88;
    int y = 1 + row / 2;
    f.Edit(IDC_FIRSTCOLUMN + static_cast<int>(i), std::string(c.caption) + ": ", x, y,
           std::min(c.width, 10));
    ++row;
  }
  int bottom = 3 + (row + 1) / 2;
  f.Button(IDC_SAVE, "&Save", 38, bottom);
  f.Button(IDCANCEL, "Cancel", 50, bottom);
  f.height = bottom + 2;
  return f;
}

KVTConfigPage::KVTConfigPage(HWND parent, int tab, const char* className, const char* title)
    : KVTPropertyPage(parent, MakeForm(tab, className, title)), tab_(tab) {
  OnCommand(IDC_SAVE, [this] { Cmidc_save(); });
}

int KVTConfigPage::FieldOf(const std::string& column) const {
  for (std::size_t i = 0; i < Columns().size(); ++i)
    if (Columns()[i].tab == tab_ && column == Columns()[i].column)
      return IDC_FIRSTCOLUMN + static_cast<int>(i);
  return 0;
}

void KVTConfigPage::SetupWindow() {
  KVTConfigValues values;
  KVTPOSConfigRecord record;
  if (record.Read(&values) == kvt::sql::Found::Failed) {
    std::string text = "The configuration could not be read:\n\n" + record.error();
    MessageBox(text.c_str(), "Error", MB_OK | MB_ICONSTOP);
  }
  for (const auto& [column, value] : values)
    if (int id = FieldOf(column)) SetFieldText(id, value);
}

void KVTConfigPage::Collect(KVTConfigValues* values) const {
  for (std::size_t i = 0; i < Columns().size(); ++i)
    if (Columns()[i].tab == tab_)
      (*values)[Columns()[i].column] = GetFieldText(IDC_FIRSTCOLUMN + static_cast<int>(i));
}

bool KVTConfigPage::Cmidc_save() {
  Tbacktab* tabs = TabWindow();
  std::vector<KVTConfigPage*> pages;
  for (int i = 0; tabs && i < tabs->GetTabCount(); ++i)
    if (auto* page = dynamic_cast<KVTConfigPage*>(tabs->GetPage(i))) pages.push_back(page);
  if (pages.empty()) pages.push_back(this);
  KVTConfigValues values;
  KVTPOSConfigRecord record;
  record.Read(&values);  // columns of tabs not open keep their stored values
  for (KVTConfigPage* page : pages) page->Collect(&values);
  std::string message;
  std::string bad = KVTPOSConfigRecord::Check(values, &message);
  if (!bad.empty()) {
    for (KVTConfigPage* page : pages)
      if (int id = page->FieldOf(bad)) {
        if (tabs) tabs->SelectTab(tabs->IndexOf(page));
        page->MessageBox(message.c_str(), "Error", MB_OK | MB_ICONSTOP);
        page->KVTSetFieldFocus(id);
      }
    return false;
  }
  if (!record.Write(values)) {
    std::string text = "The configuration was not saved:\n\n" + record.error();
    MessageBox(text.c_str(), "Error", MB_OK | MB_ICONSTOP);
    return false;
  }
  CloseWindow(IDOK);
  return true;
}

KVT_REGISTER_SCREEN(PVconfig1Dlg);
KVT_REGISTER_SCREEN(PVconfig2Dlg);
KVT_REGISTER_SCREEN(PVconfig3Dlg);
KVT_REGISTER_SCREEN(PVconfig3aDlg);
KVT_REGISTER_SCREEN(PVconfig4Dlg);
KVT_REGISTER_SCREEN(PVconfig5Dlg);
