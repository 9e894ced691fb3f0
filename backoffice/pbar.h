// The progress window (PVpbarDlg) of the module's batch jobs: a gauge, the
// count done of the whole with the time remaining, a status line, Pause and
// Cancel. A job derived from it steps from the message queue: command 8000
// (CmDoNextGroup) lets the user's waiting input run, has every MDI child of
// the host do its next step (command 8001, DoAction) and posts itself again,
// until the count passes the limit, the job is paused or it is cancelled.
#pragma once

#include <ctime>
#include <string>

#include "platform/forms/forms.h"

class PVpbarDlg : public PVMDIDialog {
 public:
  enum : int {
    CM_DONEXTGROUP = 8000,
    CM_DOACTION = 8001,
    IDC_GAUGE = 101,
    IDC_COUNTER = 102,
    IDC_STATUS = 103,
    IDC_PAUSE = 104,
  };

  explicit PVpbarDlg(HWND parent);
  static const KVTFormDecl& FormDecl();

  // n steps: the gauge runs 0 to n-1 and the clock starts.
  void SetLimit(int n);
  void SetStatus(const std::string& text);
  // The window's title (and its frame's).
  void SetTitle(const std::string& title);

  void CmDoNextGroup();
  // One step: the counter advances and is shown ("%d of %d", with the time
  // remaining once more than a second has gone).
  virtual void DoAction();
  // The steps are over (not after a cancel); runs once.
  virtual void Finish() {}
  void Cmidc_pause();

  int iCurrentStatus = 0;  // -1 once cancelled
  int iTotalLimit = 0;
  int iLastvalue = 0;
  int iCounter = 0;
  bool CloseWhenDone = true;
  std::time_t t1 = 0, t2 = 0;
  bool paused = false;
  bool finished = false;

  // The time left at the rate so far, "HH:MM:SS".
  static std::string TimeRemaining(double elapsedSeconds, int done, int total);

 protected:
  void EvCommand(UINT id) override;
  // Cancel asks first while the job runs; Yes cancels it and closes.
  void CmCancel() override;
  virtual const char* CancelQuestion() const {
    return "Cancelling will prevent the remaining items from being updated.\n\nContinue?";
  }

 private:
  void Done();
};
