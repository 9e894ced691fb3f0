// The End of Day, Month and Year run (EOPProcessing): a progress window
// that clears one sales category per step (KVTPeriodClear), reporting a
// category it could not clear and going on. StartEOPProcessing counts the
// categories, opens the window in the host's MDI client and starts it.
#pragma once

#include <memory>
#include <string>

#include "backoffice/eopclear.h"
#include "backoffice/pbar.h"

class EOPProcessing : public PVpbarDlg {
 public:
  explicit EOPProcessing(HWND parent);
  ~EOPProcessing() override;

  void SetMode(int mode) { EOPMode = mode; }
  void SetStore(const char* store);
  // Reads the categories and shows what runs; false (said in a box) when
  // they could not be read.
  bool Start();
  void DoAction() override;
  void Finish() override;

  int EOPMode = KVT_END_OF_DAY;
  int EOPOption = 0;
  char szEOPStore[50] = "";
  bool bCancelProcess = false;
  char szReference[50] = "";
  char szLocation[50] = "";
  char szRecno[50] = "";
  double dRecno = 0;
  char szMessage[1024] = "";
  int iCleared = 0;
  int iNotUpdated = 0;

 private:
  std::unique_ptr<KVTPeriodClear> run_;
};

// Runs End of Day (1), Month (2) or Year (3) over the categories of `store`
// ("" for every store) in a new window of the host's MDI client and returns
// at once; the work goes on from the message queue. False, with a box, when
// there are no categories or they could not be counted or read.
bool StartEOPProcessing(HWND parent, int mode, const char* store);
