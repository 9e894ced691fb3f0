// The progress window of the batch jobs.
#include "backoffice/pbar.h"

#include <cstdio>

#include "platform/forms/frames.h"
#include "platform/forms/runtime.h"
#include "shell/screens.h"

const KVTFormDecl& PVpbarDlg::FormDecl() {
  static const KVTFormDecl form = [] {
    KVTFormDecl f("PVpbarDlg", "Processing...", 62, 9);
    f.Gauge(IDC_GAUGE, 2, 1, 50);
    f.Label(IDC_COUNTER, "", 2, 3, 58);
    f.Label(IDC_STATUS, "", 2, 4, 58);
    f.Button(IDC_PAUSE, "&Pause", 16, 7);
    f.Button(IDCANCEL, "Cancel", 34, 7);
    return f;
  }();
  return form;
}

PVpbarDlg::PVpbarDlg(HWND parent) : PVMDIDialog(parent, FormDecl()) {
  OnCommand(IDC_PAUSE, [this] { Cmidc_pause(); });
}

void PVpbarDlg::SetLimit(int n) {
  iTotalLimit = n - 1;
  SetGaugeRange(IDC_GAUGE, 0, iTotalLimit);
  t1 = t2 = std::time(nullptr);
}

void PVpbarDlg::SetStatus(const std::string& text) {
  SetFieldText(IDC_STATUS, text);
}

void PVpbarDlg::SetTitle(const std::string& title) {
  SetCaption(title);
  if (PVmdiwinDlg* frame = Frame()) frame->SetCaption(title);
}

std::string PVpbarDlg::TimeRemaining(double elapsedSeconds, int done, int total) {
  long left = done > 0 ? static_cast<long>(elapsedSeconds * (total - done) / done + 0.5) : 0;
  if (left < 0) left = 0;
  char buf[32];
  std::snprintf(buf, sizeof buf, "%02ld:%02ld:%02ld", left / 3600, left / 60 % 60, left % 60);
  return buf;
}

void PVpbarDlg::EvCommand(UINT id) {
  if (id == CM_DONEXTGROUP) return CmDoNextGroup();
  if (id == CM_DOACTION) {
    if (iCurrentStatus != -1 && !finished) DoAction();
    return;
  }
  PVMDIDialog::EvCommand(id);
}

void PVpbarDlg::CmDoNextGroup() {
  if (finished || paused) return;
  if (iCurrentStatus != -1 && iCounter <= iTotalLimit) {
    KVTForms::Instance().Backend().LetEventsRun();
    if (paused || iCurrentStatus == -1 || IsClosing()) return;
    HWND client = GetParent(Frame() ? Frame()->Handle() : Handle());
    for (HWND child : GetChildWindows(client)) ::SendMessage(child, WM_COMMAND, CM_DOACTION);
    PostMessage(WM_COMMAND, CM_DONEXTGROUP);
    return;
  }
  Done();
}

void PVpbarDlg::Done() {
  finished = true;
  Finish();
  if (CloseWhenDone && !IsClosing()) CloseWindow(IDOK);
}

void PVpbarDlg::DoAction() {
  Changed();
  ++iCounter;
  iLastvalue = iCounter;
  SetGaugeValue(IDC_GAUGE, iCounter);
  t2 = std::time(nullptr);
  char text[128];
  double elapsed = std::difftime(t2, t1);
  if (elapsed <= 1)
    std::snprintf(text, sizeof text, "%d of %d", iCounter, iTotalLimit + 1);
  else
    std::snprintf(text, sizeof text, "%d of %d  : Time Remaining : %s", iCounter, iTotalLimit + 1,
                  TimeRemaining(elapsed, iCounter, iTotalLimit + 1).c_str());
  SetFieldText(IDC_COUNTER, text);
}

void PVpbarDlg::Cmidc_pause() {
  if (finished) return;
  paused = !paused;
  SetFieldLabel(IDC_PAUSE, paused ? "&Resume" : "&Pause");
  SetTitle(paused ? "Transfer Paused" : "Processing...");
  if (!paused) PostMessage(WM_COMMAND, CM_DONEXTGROUP);
}

void PVpbarDlg::CmCancel() {
  if (!finished && iCurrentStatus != -1) {
    if (MessageBox(CancelQuestion(), "Kovatel Software",
                   MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2) != IDYES)
      return;
    iCurrentStatus = -1;
  }
  CloseWindow(IDCANCEL);
}

KVT_REGISTER_SCREEN(PVpbarDlg);
