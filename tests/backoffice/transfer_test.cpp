// The transfer of sales to accounting: texts, batches, popups, the transfer
// screen, the till's close-with-transfer and the transfer module's forms.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "backoffice/chgopts.h"
#include "backoffice/password.h"
#include "backoffice/transfer.h"
#include "backoffice/transfers.h"
#include "backoffice/trnbatch.h"
#include "platform/forms/headless/headless.h"
#include "platform/forms/query.h"
#include "platform/forms/runtime.h"
#include "platform/sql/kvtsql.h"
#include "platform/sql/kvtsqladmin.h"
#include "platform/win/profile.h"
#include "sale/pos1.h"
#include "shell/dotransfer.h"
#include "shell/globals.h"
#include "shell/screens.h"
#include "shell/windll.h"
#include "suite/host/host.h"
#include "tests/support/till.h"

namespace {

TEST(TransferTexts, ResultMessageCountsAndWording) {
  // clang-format off
  struct Case { int ok, failed; bool direct; const char* text; } cases[] = {
      {0, 2, true, "0 files were transferred successfully.\n2 files were not transferred due to errors."},
      {1, 1, false, "1 file was exported successfully.\n1 file was not exported due to errors."},
      {3, 0, true, "3 files were transferred successfully.\n0 files were not transferred due to errors."},
  };
  // clang-format on
  for (const Case& c : cases)
    EXPECT_EQ(KVTTransfers::ResultMessage(c.ok, c.failed, c.direct), c.text);
  EXPECT_EQ(KVTTransfers::Heading("12"), "Transferring 12 sales for:");
  EXPECT_EQ(KVTTransfers::Heading("Import"), "Transferring sales for:");
  EXPECT_EQ(KVTTransfers::ShiftText(""), "all shifts");
  EXPECT_EQ(KVTTransfers::ShiftText("2"), "2");
  EXPECT_EQ(KVTTransfers::CompactDate("12/05/2025"), "12052025");
  EXPECT_EQ(
      KVTTransfers::DirectTransferData("12052025", "MAIN", "", "1", "B1", true, "T", "F", "T"),
      "01=12052025\t02=MAIN\t03=\t04=1\t05=B1\t06=Y\t07=T\t08=F\t09=T\t");
  // The transfer module's form data of a till shift.
  EXPECT_EQ(KVTTransferFormData(nullptr, "MAIN", "1", "2", "12/05/2025", "POS", "F"),
            "0,MAIN,1,2,12/05/2025,POS,F");
  EXPECT_EQ(KVTTransferFormData(nullptr, "MAIN", "1", nullptr, "12/05/2025", "", "F"),
            "0,MAIN,1,,12/05/2025,,F");
}

class TransferPopups : public kvt::test::TillTest {
 protected:
  void Batches(std::initializer_list<const char*> refs) {
    for (const char* r : refs) ASSERT_TRUE(db().Add("KVTFL23", {{"REFERENCE", r}})) << db().error();
  }
  std::unique_ptr<PVchgoptsDlg> Options(const char* count, const char* shift, const char* st,
                                        const char* pb, const char* cst) {
    auto p = std::make_unique<PVchgoptsDlg>(host->MainWindow());
    p->SetTranSalesCount(count);
    p->SetTranStore("MAIN");
    p->SetTranDate("12/05/2025");
    p->SetTranTillRef("1");
    p->SetTranShift(shift);
    p->SetTranST(st);
    p->SetTranPB(pb);
    p->SetTranCST(cst);
    return p;
  }
};

TEST_P(TransferPopups, TheDefaultBatchIsTheOnlyOne) {
  std::string batch, error;
  for (auto [added, expected] : {std::pair{"", ""}, {"B1", "B1"}, {"B2", ""}}) {
    if (*added) Batches({added});
    ASSERT_TRUE(KVTTransfers::DefaultBatch(&batch, &error)) << error;
    EXPECT_EQ(batch, expected) << added;
  }
  KVTSqlFailStatements("KVTFL23");
  EXPECT_FALSE(KVTTransfers::DefaultBatch(&batch, &error));
  EXPECT_NE(error, "");
}

TEST_P(TransferPopups, OptionsPopupBatchRules) {
  KVTSetSetting(CFG_USEBATCHES, "T");
  Batches({"B1"});
  // A re-import never shows the batch and goes on without one.
  auto p = Options("Import", "", "T", "F", "F");
  user.Do([&] {
    EXPECT_FALSE(p->IsFieldVisible(PVchgoptsDlg::IDC_BATCH));
    EXPECT_EQ(p->GetFieldText(PVchgoptsDlg::IDC_HEADING), "Transferring sales for:");
    EXPECT_EQ(p->GetFieldText(PVchgoptsDlg::IDC_SHIFT), "shift : all shifts");
    EXPECT_EQ(p->GetFocusField(), PVchgoptsDlg::IDC_TRNST);
  });
  user.Click("OK");
  EXPECT_EQ(p->Execute(), IDOK);
  EXPECT_TRUE(p->bDoTransfer);
  EXPECT_STREQ(p->szBatch, "");
  // A transfer: the only batch is offered; no box is refused; only
  // inventory needs no batch even when the batch is emptied.
  p = Options("7", "2", "T", "F", "T");
  user.Do([&] {
    EXPECT_EQ(p->GetFieldText(PVchgoptsDlg::IDC_BATCH), "B1");
    EXPECT_TRUE(p->GetCheck(PVchgoptsDlg::IDC_TRNCST));
    EXPECT_EQ(p->GetFieldText(PVchgoptsDlg::IDC_HEADING), "Transferring 7 sales for:");
  });
  user.Click("Transfer to Sales Tickets").Click("Transfer to C-Store");
  user.Do([&] { EXPECT_TRUE(p->IsFieldProtected(PVchgoptsDlg::IDC_BATCH)); });
  user.ExpectMessage("At least one transfer check box must be checked.", "Error").Click("OK");
  user.Do([&] { p->SetFieldText(PVchgoptsDlg::IDC_BATCH, ""); });
  user.Click("Transfer to Inventory").Click("OK");
  EXPECT_EQ(p->Execute(), IDOK);
  EXPECT_STREQ(p->szTRNST, "F");
  EXPECT_STREQ(p->szTRNCST, "F");
  EXPECT_STREQ(p->szTRNPB, "T");
  // Sales tickets need a batch that exists; Cancel keeps the flags as preset.
  p = Options("7", "2", "T", "F", "F");
  user.Do([&] { p->SetFieldText(PVchgoptsDlg::IDC_BATCH, "NOPE"); });
  user.Click("Transfer to Inventory");
  user.ExpectMessage("Invalid Batch.", "Error").Click("OK");
  user.Do([&] { EXPECT_EQ(p->GetFocusField(), PVchgoptsDlg::IDC_BATCH); });
  user.Key("Esc");
  EXPECT_EQ(p->Execute(), IDCANCEL);
  EXPECT_FALSE(p->bDoTransfer);
  EXPECT_STREQ(p->szTRNPB, "F");
  ExpectNoFailures();
}

TEST_P(TransferPopups, BatchPopupPresetsFocusesAndRequiresAKnownBatch) {
  // Without batches: no field, the focus on Transfer.
  KVTSetSetting(CFG_USEBATCHES, "F");
  PVtrnbatchDlg plain(host->MainWindow());
  plain.SetTranSalesCount("3");
  user.Do([&] {
    EXPECT_FALSE(plain.IsFieldVisible(PVtrnbatchDlg::IDC_BATCH));
    EXPECT_EQ(plain.GetFocusField(), PVtrnbatchDlg::IDC_TRANSFER);
    EXPECT_EQ(plain.GetFieldText(PVtrnbatchDlg::IDC_SHIFT), "shift : all shifts");
  });
  user.Key("Enter");
  EXPECT_EQ(plain.Execute(), IDOK);
  EXPECT_TRUE(plain.bDoTransfer);
  // Two batches: none preset, the focus on the batch; an unknown batch
  // opens the list, the one picked is taken.
  KVTSetSetting(CFG_USEBATCHES, "T");
  Batches({"B1", "B2"});
  PVtrnbatchDlg popup(host->MainWindow());
  user.Do([&] { EXPECT_EQ(popup.GetFocusField(), PVtrnbatchDlg::IDC_BATCH); });
  user.ExpectMessage("Invalid Batch.", "Error").Click("Transfer");
  user.ExpectMessage("Batch is required.", "Error").Key("Enter");
  user.Type("ZZ").Key("Enter");
  user.Key("Down").Key("Enter");  // B2 in the list
  user.Click("Transfer");
  EXPECT_EQ(popup.Execute(), IDOK);
  EXPECT_STREQ(popup.szBatch, "B2");
  // Cancel.
  PVtrnbatchDlg cancelled(host->MainWindow());
  user.Key("Esc");
  EXPECT_EQ(cancelled.Execute(), IDCANCEL);
  EXPECT_FALSE(cancelled.bDoTransfer);
  ExpectNoFailures();
}

KVT_ON_BOTH_BACKENDS(TransferPopups);

// Groups of saved sales at store MAIN: till 1 on 12/04 (two sales, shifts
// 1 and 2), till 1 on 12/05 (transferred before), till 2 on 12/05 (its
// shift still logged in) and till 3 on 12/05.
class TransferScreen : public TransferPopups {
 protected:
  void SetUp() override {
    TransferPopups::SetUp();
    if (IsSkipped() || HasFatalFailure()) return;
    KVTSetSetting(LOCAL_INI, "kvtlocal.ini");
    KVTSetSetting(CONNECTIONTYPE, "D");
    KVTSetSetting(CFG_USEBATCHES, "F");
    WritePrivateProfileString("PVtransferDlg", "DisplayEachShift", "1", "kvtlocal.ini");
    for (const char* till : {"1", "2", "3"})
      Add({std::string("KVTCOM14 STOREREF=MAIN TRNST=T TRNPB=T TRNCST=F TILLNUM=") + till});
  }
  void Sale(const char* number, const char* date, const char* till, const char* shift,
            const char* transnum = "") {
    Add({std::string("KVTPOS1 STORE=MAIN TRANSTYPE=S STATUS=C INVCTOTAL=10.00 INVOICENUM=") +
         number + " INVOICELNK=L" + number + " INVDATE=" + date + " TILLREF=" + till +
         " SHIFT=" + shift + " TRANSNUM=" + transnum});
  }
  void LoggedIn(const char* till) {
    Add({std::string("KVTPOS9 STORE=MAIN INVDATE=12/05/2025 SHIFT=1 TILLREF=") + till});
  }
  std::vector<std::string> Marks(PVtransferDlg& s) {
    std::vector<std::string> marks;
    TDataTbl* grid = s.Grid(KVTTransferForm::IDC_GRID);
    for (int r = 0; r < grid->GetRowCount(); ++r)
      marks.push_back(grid->GetRowMark(r) ? grid->GetRowMark(r)->name : "-");
    return marks;
  }
};

TEST_P(TransferScreen, OneGroupIsPreselectedTransferredThenReTransferredInPlace) {
  Sale("1", "12/04/2025", "1", "1");
  Sale("2", "12/04/2025", "1", "1");
  Sale("3", "12/05/2025", "1", "1", "OLD1");
  PVtransferDlg s(host->MainWindow());
  user.Do([&] {
    EXPECT_EQ(s.GetFieldText(KVTTransferForm::IDC_TITLE), "Transfer Sales");
    EXPECT_EQ(Marks(s), (std::vector<std::string>{"SCHECK"}));
    EXPECT_EQ(s.GetFocusField(), KVTTransferForm::IDC_OK);
    EXPECT_EQ(s.Grid(KVTTransferForm::IDC_GRID)->GetCell(KVTTransferForm::COL_COUNT, 0), "2");
  });
  user.ExpectMessage(
      "1 file was transferred successfully.\n0 files were not transferred due to errors.");
  user.Click("Transfer").Key("Enter");  // the batch popup: Transfer
  EXPECT_EQ(s.Execute(), IDOK);
  EXPECT_EQ(db().Count("KVTPOS1", "TRANSNUM IS NULL OR TRANSNUM = ''"), 0);
  std::string first = db().Value("SELECT TRANSNUM FROM KVTPOS1 WHERE INVOICENUM = '1'");
  EXPECT_EQ(db().Count("KVTCTMST", "TRANSNUM = '" + first + "'"), 2);
  // Re-transfer: both groups listed, none marked; the marked one is posted again in place.
  PVtransferDlg again(host->MainWindow());
  user.ExpectMessage("No untransferred data was found.");
  user.Do([&] { EXPECT_EQ(again.GetFieldText(KVTTransferForm::IDC_TITLE), "Transfer Sales"); });
  user.Click("Re-Transfer Sales");
  user.Do([&] {
    EXPECT_EQ(again.GetFieldText(KVTTransferForm::IDC_TITLE), "Re-Transfer Daily Sales");
    EXPECT_EQ(Marks(again), (std::vector<std::string>{"-", "-"}));
  });
  user.ClickRow(KVTTransferForm::IDC_GRID, 0);
  user.ExpectMessage(
      "1 file was transferred successfully.\n0 files were not transferred due to errors.");
  user.Click("Re-Transfer").Click("OK");  // the options popup as preset
  EXPECT_EQ(again.Execute(), IDOK);
  std::string second = db().Value("SELECT TRANSNUM FROM KVTPOS1 WHERE INVOICENUM = '2'");
  EXPECT_NE(second, first);
  EXPECT_EQ(db().Count("KVTCTMST", ""), 2);
  EXPECT_EQ(db().Count("KVTCTMST", "TRANSNUM = '" + second + "'"), 2);
  EXPECT_EQ(db().Value("SELECT TRANSNUM FROM KVTPOS1 WHERE INVOICENUM = '3'"), "OLD1");
  ExpectNoFailures();
}

TEST_P(TransferScreen, ALoggedInShiftCannotBeMarkedAndFailedGroupsStayUntransferred) {
  Sale("1", "12/04/2025", "1", "1");
  Sale("2", "12/04/2025", "1", "2");
  Sale("4", "12/05/2025", "2", "1");
  Sale("5", "12/05/2025", "3", "1");
  LoggedIn("2");
  KVTSetSetting(CONNECTIONTYPE, "F");
  WritePrivateProfileString("PVtransferDlg", "DisplayEachShift", "0", "kvtlocal.ini");
  PVtransferDlg s(host->MainWindow());
  user.Do([&] {
    EXPECT_EQ(s.GetFieldText(KVTTransferForm::IDC_TITLE), "Export Sales");
    EXPECT_FALSE(s.Grid(KVTTransferForm::IDC_GRID)->Columns().empty());
    EXPECT_TRUE(s.Grid(KVTTransferForm::IDC_GRID)->IsColHidden(KVTTransferForm::COL_SHIFT));
    EXPECT_EQ(Marks(s), (std::vector<std::string>{"-", "BLUEX", "-"}));
  });
  // Space passes over the logged-in row and marks the last, then goes to the button.
  user.ClickRow(KVTTransferForm::IDC_GRID, 1).Key("Space").Key("Space");
  user.Do([&] {
    EXPECT_EQ(Marks(s), (std::vector<std::string>{"-", "BLUEX", "SCHECK"}));
    EXPECT_EQ(s.GetFocusField(), KVTTransferForm::IDC_OK);
  });
  user.Click("Select All");
  user.Do([&] {
    EXPECT_EQ(Marks(s), (std::vector<std::string>{"SCHECK", "BLUEX", "SCHECK"}));
    EXPECT_EQ(s.GetFocusField(), KVTTransferForm::IDC_OK);
    KVTSqlFailStatements("INSERT INTO KVTCTMST", 2);
  });
  user.Click("Export").Key("Enter").Key("Enter");  // a batch popup for each group
  EXPECT_EQ(s.Execute(), IDOK);
  ASSERT_EQ(user.Messages().size(), 3u);
  for (int group = 0; group < 2; ++group) {
    EXPECT_EQ(user.Messages()[group].caption, "Export Sales Error");
    EXPECT_EQ(
        user.Messages()[group].text.rfind("The sales tickets could not be posted: injected", 0),
        0u);
  }
  EXPECT_EQ(user.Messages()[2].text,
            "0 files were exported successfully.\n2 files were not exported due to errors.");
  EXPECT_EQ(Marks(s), (std::vector<std::string>{"REDX", "BLUEX", "REDX"}));
  EXPECT_EQ(db().Count("KVTPOS1", "TRANSNUM > ''"), 0);
  EXPECT_EQ(db().Count("KVTCTMST", ""), 0);
  char shifts[8];
  GetPrivateProfileString("PVtransferDlg", "DisplayEachShift", "", shifts, sizeof shifts,
                          "kvtlocal.ini");
  EXPECT_STREQ(shifts, "0");
  ExpectNoFailures();
}

TEST_P(TransferScreen, WithoutShiftsTheWholeDayOfATillGoesAndNothingMarkedSaysSo) {
  Sale("1", "12/04/2025", "1", "1");
  Sale("2", "12/04/2025", "1", "2");
  WritePrivateProfileString("PVtransferDlg", "DisplayEachShift", "0", "kvtlocal.ini");
  PVtransferDlg s(host->MainWindow());
  user.ExpectMessage(
      "1 file was transferred successfully.\n0 files were not transferred due to errors.");
  user.Click("Transfer").Key("Enter");
  EXPECT_EQ(s.Execute(), IDOK);
  EXPECT_EQ(db().Count("KVTPOS1", "TRANSNUM > ''"), 2);
  // Nothing left: said so; nothing marked: said so too.
  PVtransferDlg empty(host->MainWindow());
  user.ExpectMessage("No untransferred data was found.");
  user.ExpectMessage("Nothing was selected to be transferred.");
  user.Click("Transfer");
  EXPECT_EQ(empty.Execute(), IDOK);
  ExpectNoFailures();
}

// The host opens the same screen modally (TransferSales) and in its MDI
// client (DoTransferSalesByDay).
TEST_P(TransferScreen, BothKindsOfTheScreenAreTheTransferScreen) {
  std::unique_ptr<PVDialog> modal(
      KVTNewDialog("PVtransferDlg", host->MainWindow(), "Point of Sale"));
  EXPECT_NE(dynamic_cast<PVtransferDlg*>(modal.get()), nullptr);
  std::unique_ptr<PVMDIDialog> child(
      KVTNewMDIScreen("PVtransferDlg", host->MainWindow(), "Point of Sale"));
  EXPECT_NE(dynamic_cast<PVtransferMDIDlg*>(child.get()), nullptr);
}

KVT_ON_BOTH_BACKENDS(TransferScreen);

// The till's close-with-transfer (Ctrl+F3) on till 1's shift 1 of 12/05,
// logged in, and the transfer module's forms the host opens.
class TillTransfer : public TransferScreen {
 protected:
  void SetUp() override {
    TransferScreen::SetUp();
    if (IsSkipped() || HasFatalFailure()) return;
    PVpasswordDlg::FormDecl();  // links the popup into this test
    Add({"KVTPOS10 RECNO=1 NEXTSLNUM=1001 NEXTSLLNK=501 TRNPSWD=9999 USEBATCHES=F",
         "KVTCOM13 REFERENCE=MAIN LOCATION=01"});
    LogIn("MAIN", "12052025");
    LoggedIn("1");
  }
};

TEST_P(TillTransfer, CloseWithTransferOfTheShift) {
  // clang-format off
  struct Case { const char* name; int sales; const char* password; int sure; const char* popup; const char* form;
                std::vector<std::string> messages; int transferred, stillOpen; } cases[] = {
      {"wrong password", 2, "1234", 0, nullptr, nullptr, {"Invalid Password."}, 0, 1},
      {"not sure", 2, "9999", IDNO, nullptr, nullptr, {"Closing Shift - Are you sure?"}, 0, 1},
      {"nothing to transfer", 0, "9999", IDYES, nullptr, nullptr,
       {"Closing Shift - Are you sure?", "No untransferred sales found to transfer!"}, 0, 0},
      {"batch popup cancelled", 2, "9999", IDYES, "Cancel", nullptr,
       {"Closing Shift - Are you sure?", "Transfer aborted!"}, 0, 0},
      {"form cancelled", 2, "9999", IDYES, "Transfer", "Cancel", {"Closing Shift - Are you sure?"}, 0, 0},
      {"transferred", 2, "9999", IDYES, "Transfer", "Transfer",
       {"Closing Shift - Are you sure?", "2 sales of store MAIN, till 1 were transferred."}, 2, 0},
  };
  // clang-format on
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ASSERT_TRUE(kvt::sql::Run("DELETE FROM KVTPOS1", {}).ok());
    ASSERT_TRUE(kvt::sql::Run("DELETE FROM KVTPOS9", {}).ok());
    LoggedIn("1");
    for (int n = 1; n <= c.sales; ++n) Sale(std::to_string(n).c_str(), "12/05/2025", "1", "1");
    Sale("9", "12/05/2025", "1", "2");  // another shift stays
    user.Reset();
    ASSERT_NE(OpenSale(), nullptr);
    KVTSetSetting(CFG_RECEIPTPRINTER, "None");
    std::string formCaption;
    if (c.sure) user.Answer(c.sure);
    user.Key("Ctrl+F3").Type(c.password).Key("Enter");
    if (c.popup) user.Click(c.popup);
    if (c.form) user.Do([&] { formCaption = KVTForms::Instance().ActiveScreen()->Caption(); });
    if (c.form) user.Click(c.form);
    user.Run();
    EXPECT_EQ(Messages(), c.messages);
    EXPECT_EQ(formCaption, c.form ? "Transfer Sales" : "");
    EXPECT_EQ(db().Count("KVTPOS1", "TRANSNUM > ''"), c.transferred);
    EXPECT_EQ(db().Count("KVTPOS9", ""), c.stillOpen);
    KVTForms::Instance().CloseAll();
  }
  ExpectNoFailures();
}

// "Export": the closed shifts only (till 2 is logged in), sent on at once;
// "Import": no till exchanges files, so nothing to read.
TEST_P(TillTransfer, TheInterfaceFormsExportClosedShiftsAndFindNoFiles) {
  Sale("1", "12/04/2025", "1", "1");
  Sale("2", "12/05/2025", "2", "1");
  LoggedIn("2");
  int rows = -1;
  user.Do([&] { rows = KVTForms::Instance().ActiveScreen()->Grid(102)->GetRowCount(); });
  user.ExpectMessage("1 of 1 till shifts were exported.", "Export Sales");
  user.Click("Export").Click("Close");
  EXPECT_EQ(DoTransferSales(), 0);
  EXPECT_EQ(rows, 1);
  EXPECT_EQ(db().Count("KVTPOS1", "TRANSNUM > ''"), 1);
  std::string text;
  user.Do([&] { text = KVTForms::Instance().ActiveScreen()->GetFieldText(101); });
  user.Click("Close");
  EXPECT_EQ(DoTransferSalesImport(), 0);
  EXPECT_EQ(text, "No sales files wait to be imported.");
  ExpectNoFailures();
}

KVT_ON_BOTH_BACKENDS(TillTransfer);

}  // namespace
