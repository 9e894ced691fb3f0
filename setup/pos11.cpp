// The bad check list screen.
#include "setup/pos11.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "platform/base/kvtbase.h"
#include "platform/sql/kvtsql.h"
#include "shell/globals.h"
#include "shell/hostreq.h"
#include "shell/screens.h"

namespace {

const char* const kColumns = "CKACCTNUM,ACCTNAME,DATEENT,REF,NUMCHANGE,RECNO";

template <std::size_t N>
void Put(char (&dest)[N], const std::string& text) {
  KVTSetSetting(dest, text.c_str());
}

}  // namespace

// The screen's buffer as the result set reads and writes it.
class PVpos11Dlg::Fields : public KVTRecordFields {
 public:
  explicit Fields(PVpos11Data* d) : d_(d) {}
  std::vector<std::string> Columns() const override {
    return {"CKACCTNUM", "ACCTNAME", "DATEENT", "REF", "NUMCHANGE", "RECNO"};
  }
  std::string Get(const std::string& c) const override {
    if (c == "CKACCTNUM") return d_->CKACCTNUM;
    if (c == "ACCTNAME") return d_->ACCTNAME;
    if (c == "DATEENT") return d_->DATEENT;
    if (c == "REF") return d_->REF;
    if (c == "NUMCHANGE") return d_->NUMCHANGE;
    char buf[32];
    std::snprintf(buf, sizeof buf, "%.0f", d_->RECNO);
    return buf;
  }
  void Set(const std::string& c, const std::string& v) override {
    if (c == "CKACCTNUM") Put(d_->CKACCTNUM, v);
    if (c == "ACCTNAME") Put(d_->ACCTNAME, v);
    if (c == "DATEENT") Put(d_->DATEENT, v);
    if (c == "REF") Put(d_->REF, v);
    if (c == "NUMCHANGE") Put(d_->NUMCHANGE, v);
    if (c == "RECNO") d_->RECNO = std::strtod(v.c_str(), nullptr);
  }

 private:
  PVpos11Data* d_;
};

const KVTFormDecl& PVpos11Dlg::FormDecl() {
  static const KVTFormDecl form = [] {
    KVTFormDecl f("PVpos11Dlg", "Bad Checks Setup", 64, 12);
    f.Edit(IDC_CKACCTNUM, "Bank Account Number: ", 24, 1, 12, KVT_BIND(PVpos11Data, CKACCTNUM));
    f.Edit(IDC_ACCTNAME, "Name: ", 24, 3, 30, KVT_BIND(PVpos11Data, ACCTNAME));
    f.Edit(IDC_DATEENT, "Date Entered: ", 24, 5, 12, KVT_BIND(PVpos11Data, DATEENT));
    f.Edit(IDC_REF, "Reference: ", 24, 7, 30, KVT_BIND(PVpos11Data, REF));
    f.Button(IDC_ACCEPT, "&Accept", 1, 10);
    f.Button(IDC_NEW, "&New", 10, 10);
    f.Button(IDC_FIND, "&Find", 17, 10);
    f.Button(IDC_DELETE, "&Delete", 25, 10);
    f.Button(IDC_PREVIOUS, "&Previous", 34, 10);
    f.Button(IDC_NEXT, "Ne&xt", 45, 10);
    f.Button(IDC_REPORT, "&Report", 53, 10);
    f.Button(IDCANCEL, "Cancel", 53, 8);
    return f;
  }();
  return form;
}

PVpos11Dlg::PVpos11Dlg(HWND parent)
    : PVMDIDialog(parent, FormDecl()), fields_(std::make_unique<Fields>(&Data)) {
  SetTransferBuffer(&Data);
  OnCommand(IDC_ACCEPT, [this] { Cmidc_accept(); });
  OnCommand(IDC_NEW, [this] { Cmidc_new(); });
  OnCommand(IDC_FIND, [this] { Cmidc_find(); });
  OnCommand(IDC_DELETE, [this] { Cmidc_delete(); });
  OnCommand(IDC_PREVIOUS, [this] { Cmidc_previous(); });
  OnCommand(IDC_NEXT, [this] { Cmidc_next(); });
  OnCommand(IDC_REPORT, [this] { Cmidc_report(); });
  for (int id : {IDC_CKACCTNUM, IDC_ACCTNAME, IDC_DATEENT, IDC_REF}) {
    OnChange(id, [this] { bChanged = true; });
    OnSetFocus(id, [this, id] { lastField_ = id; });
  }
}

PVpos11Dlg::~PVpos11Dlg() {
  if (rs_) vwFreeResultSet(rs_);
}

void PVpos11Dlg::SetupWindow() {
  rs_ = vwGetFormResultSet(fields_.get(), "KVTPOS11");
  if (!fetch_.OpenConnection(hApplication, Handle(), 1, "KVTPOS11") ||
      !fetch_.SetFetchScript("SELECT %s FROM %s", kColumns, "CKACCTNUM", 50) || !rs_) {
    std::string text =
        std::string("The bad check list could not be opened:\n\n") + KVTLastSqlError();
    MessageBox(text.c_str(), "Error", MB_OK | MB_ICONSTOP);
  }
  StartNew();
}

void PVpos11Dlg::StartNew() {
  if (rs_) vwRSNew(rs_);
  Data = PVpos11Data{};
  DoAppToScr();
  bChanged = false;
  KVTSetFieldFocus(IDC_CKACCTNUM);
}

bool PVpos11Dlg::AskSave() {
  if (!bChanged) return true;
  switch (MessageBox("Changes have been made! Save changes?", "Changed",
                     MB_YESNOCANCEL | MB_ICONQUESTION)) {
    case IDYES:
      return Cmidc_accept();
    case IDNO:
      bChanged = false;
      return true;
    default:
      KVTSetFieldFocus(lastField_);
      return false;
  }
}

bool PVpos11Dlg::Cmidc_accept() {
  DoScrToApp();
  TRIM(Data.CKACCTNUM);
  DoAppToScr(IDC_CKACCTNUM);
  auto refuse = [this](const std::string& text, const char* caption) {
    MessageBox(text.c_str(), caption, MB_OK | MB_ICONSTOP);
    KVTSetFieldFocus(IDC_CKACCTNUM);
    return false;
  };
  switch (list_.CheckAccount(Data.CKACCTNUM, Data.RECNO)) {
    case KVTBadCheckList::Verdict::Empty:
      return refuse("Bank Account Number required.", "Accept Error");
    case KVTBadCheckList::Verdict::Duplicate:
      return refuse("Bank Account Number already exists.", "Kovatel Software");
    case KVTBadCheckList::Verdict::Failed:
      return refuse("The bad check list could not be read:\n\n" + list_.error(), "Error");
    case KVTBadCheckList::Verdict::Ok:
      break;
  }
  bool isNew = Data.RECNO == 0;
  if (isNew) {
    double recno = NextNum(1, "KVTPOS11", 100);
    if (recno <= 0) return refuse("Unable to write information to file.", "Kovatel Software");
    Data.RECNO = recno;
  }
  if (!rs_ || !vwRSSave(rs_)) {
    if (isNew) Data.RECNO = 0;
    std::string text = std::string("Unable to write information to file.\n\n") + KVTLastSqlError();
    return refuse(text, "Kovatel Software");
  }
  bChanged = false;
  if (isNew)
    StartNew();
  else
    fetch_.FindRecNo(Data.RECNO);
  return true;
}

void PVpos11Dlg::Cmidc_new() {
  if (!AskSave()) return;
  StartNew();
}

bool PVpos11Dlg::LoadRecord(double recno) {
  if (!rs_ || !vwRSLoad(rs_, recno)) return false;
  fetch_.FindRecNo(recno);
  DoAppToScr();
  bChanged = false;
  return true;
}

void PVpos11Dlg::Cmidc_find() {
  if (!AskSave()) return;
  KVTSearchResult chosen;
  if (SearchWin(Handle(), 0, &chosen,
                "CKACCTNUM,Account Number,12,0,ACCTNAME,Name,30,0,DATEENT,Date Entered,20,0,REF,"
                "Reference,30,0",
                "SELECT CKACCTNUM,ACCTNAME,DATEENT,REF,STR(RECNO) FROM KVTPOS11",
                "Find Back Check"))
    LoadRecord(chosen.Recno());
}

void PVpos11Dlg::Step(bool forward) {
  if (!AskSave()) return;
  if (Data.RECNO != 0) fetch_.FindRecNo(Data.RECNO);
  bool moved = forward ? fetch_.NextRecord() : fetch_.PreviousRecord();
  if (!moved || !LoadRecord(fetch_.RecNo())) MessageBeep();
}

void PVpos11Dlg::Cmidc_previous() {
  Step(false);
}

void PVpos11Dlg::Cmidc_next() {
  Step(true);
}

void PVpos11Dlg::Cmidc_delete() {
  if (MessageBox("Item Will Be Deleted! Do You Wish To Continue? ", "Delete Item?",
                 MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2) != IDYES)
    return;
  double recno = Data.RECNO;
  if (recno == 0) return StartNew();
  fetch_.FindRecNo(recno);
  if (fetch_.NextRecord() || (fetch_.FindRecNo(recno) && fetch_.PreviousRecord())) {
    LoadRecord(fetch_.RecNo());
  } else {
    StartNew();
    MessageBeep();
  }
  if (!list_.Delete(recno)) {
    std::string text = "The account was not deleted:\n\n" + list_.error();
    MessageBox(text.c_str(), "Error", MB_OK | MB_ICONSTOP);
    LoadRecord(recno);
  }
}

void PVpos11Dlg::Cmidc_report() {
  const char* dll = "KVTPOSR.DLL";
  char text[256];
  HMODULE m = KVTHostModuleRequest(Handle(), dll);
  if (!m) {
    std::snprintf(text, sizeof text, "Unable to load DLL (%s)", dll);
    MessageBox(text, "Kovatel Software", MB_OK | MB_ICONEXCLAMATION);
    std::snprintf(text, sizeof text, "%s is not currently installed. Please install DLL and retry.",
                  dll);
    MessageBox(text, "Kovatel Software", MB_OK | MB_ICONEXCLAMATION);
    return;
  }
  if (auto report = GetProc<void (*)(HWND)>(m, "DoBadChksReport")) {
    report(Handle());
    return;
  }
  std::snprintf(text, sizeof text, "Unable to find report (%s) in %s", "DoBadChksReport", dll);
  MessageBox(text, "Kovatel Software", MB_OK | MB_ICONEXCLAMATION);
}

void PVpos11Dlg::CmCancel() {
  if (!AskSave()) return;
  CloseWindow(IDCANCEL);
}

KVT_REGISTER_SCREEN(PVpos11Dlg);
