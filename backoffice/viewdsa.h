// VIEWDSA: the daily sales review's loader and field checker. It steps
// through the saved sales (OrderedFetch over KVTPOS1 without suspended
// sales), fills the screen from KVTDailySales' reads, opens the parts the
// sale's payment allows, checks the card fields and saves the correction.
#pragma once

#include <string>
#include <vector>

#include "backoffice/dailysales.h"
#include "platform/forms/forms.h"
#include "platform/sql/orderedfetch.h"

class PVviewdsDlg;

class VIEWDSA : public KVTFieldChecker {
 public:
  explicit VIEWDSA(PVviewdsDlg* screen) : screen_(screen) {}

  // The browse over the saved sales; false (reported) when it cannot open.
  bool ConnectView();
  // The empty screen: fields cleared and open for a sale number, date or
  // customer; the browse back to sale number order.
  void InitForm();
  void ClearFields();
  // Shows the sale with this record number; false (reported) when it could
  // not be read.
  bool LoadData(double recno);
  bool LoadKVTPOS1(double recno);
  bool LoadKVTPOS2();
  bool LoadKVTPOS3();
  void EnableKVTPOS1();

  int VerifyFields(int id) override;
  int VerifyRequiredFields() override;
  // Checks and writes the card data of the shown sale; true when saved.
  bool SaveInfo();
  // Shows the saved sale of this number: 1 shown, 0 none (the caller opens
  // the search), -1 it could not be read (reported).
  int VerifyInvoiceNum(const char* number);
  void SearchCCardType();
  void SetFetchOrder(const char* keyColumns);

  // Moving through the browse; false at its end or on a failure (reported).
  bool Step(bool forward);
  // The find window from the focused field's value; true when a sale was chosen.
  bool Find();

  // The prompts that apply to the shown sale.
  KVTCardPrompts Prompts() const;

 private:
  int Refuse(int id, const char* message, const char* caption = "Error", UINT icon = MB_ICONSTOP);
  // An expiry refused (0 when good): the field is emptied.
  int CheckExpiry(bool keepFocus);
  int CheckCardType(bool search);
  void ReadFailed(const char* what, const std::string& error);

  PVviewdsDlg* screen_;
  OrderedFetch fetch_;
};

// A column of the shown sale drawn as a protected text on the screen.
struct KVTShownColumn {
  int id;
  const char* column;  // of the header read
  const char* label;
  const char* format;  // null: the text as read; else the money format
};
// In screen order; the farm plan amounts are the ones with ids 430-433.
const std::vector<KVTShownColumn>& ViewdsShownColumns();
