// A small screen to drive the forms runtime with: a store, quantity and
// price entered line by line into a grid, a field checker, a question, a
// posted command and a modal note dialog.
//
//   101 store (S1 or S2), 102 quantity (empty means 1), 103 price: leaving
//   the price adds the line to grid 106 and totals it in 140.
//   F3 asks "Clear all lines?" (No the default); F5 logs, posts command 9000
//   and logs again, the command logs when it runs; F6 or the "Note" button
//   opens the note dialog; F7 picks the store from a search window; keys
//   held with Alt are ignored. Field 150 shows the log.
#pragma once

#include <string>
#include <vector>

#include "platform/forms/forms.h"

struct PVtestData {
  char STORE[7];
  char QTY[11];
  char PRICE[11];
  char TAXABLE[2];
  char NOTE[31];
  double RECNO;
};

class PVtestDlg;

class TESTA : public KVTFieldChecker {
 public:
  explicit TESTA(PVtestDlg* screen) : screen_(screen) {}
  int VerifyFields(int fieldId) override;
  int VerifyRequiredFields() override;
  // What the checker saw on its last call: the field, and whether a key
  // (and Shift) brought it there.
  int lastField = 0;
  bool lastByKey = false;
  bool lastShift = false;

 private:
  PVtestDlg* screen_;
};

class PVtestDlg : public PVMDIDialog {
 public:
  enum : int {
    IDC_STORE = 101,
    IDC_QTY = 102,
    IDC_PRICE = 103,
    IDC_TAXABLE = 104,
    IDC_DATATBL = 106,
    IDC_HELP = 111,
    IDC_TOTAL = 140,
    IDC_LOG = 150,
    IDC_NOTETEXT = 151,
    IDC_NOTE = 201,
    CM_POSTED = 9000,
  };
  explicit PVtestDlg(HWND parent);
  static const KVTFormDecl& Declaration();

  PVtestData data{};
  TESTA checker{this};
  std::vector<std::string> log;

  void AcceptLine();
  void Log(const std::string& what);
  bool ValidStore(const char* store) const;

 protected:
  void SetupWindow() override;
  bool PreProcessMsg(MSG& msg) override;

 private:
  void OpenNote();
  void ClearLines();
  void SearchStore();
};

struct PVnoteData {
  char NOTE[31];
};

class PVnoteDlg : public PVDialog, public KVTFieldChecker {
 public:
  enum : int { IDC_NOTE = 301 };
  PVnoteDlg(HWND parent, const char* note);
  PVnoteData data{};
  int VerifyFields(int) override { return 0; }
  int VerifyRequiredFields() override;
};

// Opens the test screen in the host's MDI client of `hWnd`, or brings the
// one already open to the front.
void OpenTestScreenIn(HWND hWnd);
