// The customer notes window.
#include "payment/posnt.h"

#include "platform/base/kvtbase.h"
#include "platform/sql/query.h"
#include "shell/dbutil.h"

namespace {

KVTFormDecl MakeForm() {
  KVTFormDecl f("PVposntDlg", "Customer Notes", 70, 16);
  f.Edit(PVposntDlg::IDC_POSNOTES, "", 1, 1, 66, KVT_BIND(PVposntData, POSNOTES))
      .Protected()
      .height = 12;
  f.Button(IDOK, "&Continue", 30, 14);
  return f;
}

}  // namespace

const KVTFormDecl& PVposntDlg::FormDecl() {
  static const KVTFormDecl form = MakeForm();
  return form;
}

PVposntDlg::PVposntDlg(HWND parent) : PVDialog(parent, FormDecl()) {
  SetTransferBuffer(&Data);
}

void PVposntDlg::SetupWindow() {
  kvt::sql::Result r =
      kvt::sql::Run("SELECT COMMENT FROM KVTAR50N WHERE LINK = ?", {kvt::sql::Text(reference_)});
  if (!r.ok()) KVTShowReadError(Handle(), "The customer's notes", r.error());
  std::string notes;
  for (const kvt::sql::Row& row : r.rows()) notes += (notes.empty() ? "" : "\r\n") + row["COMMENT"];
  SetFieldVar(IDC_POSNOTES, notes.c_str());
  KVTSetFieldFocus(IDOK);
}

KVT_REGISTER_SCREEN(PVposntDlg);
