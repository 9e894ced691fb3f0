// What the import sales and import data screens share: the store and till
// criteria (listed when the till is left), the re-import check box, the grid
// of files with their marks (click, Space, Select All; hSCheck selected,
// hSCheckG done, hRedX declined or failed), the one-file rule, and the run
// over the marked files ending in one summary, after which the screen starts
// over (a default store or till missing) or closes. A screen derived from it
// says how its files are found and how one is imported.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "backoffice/exchange.h"
#include "platform/forms/forms.h"

class KVTFileImportForm {
 public:
  enum : int {
    IDC_TITLE = 100,
    IDC_TEXT = 101,
    IDC_CRITERIA = 102,
    IDC_REIMPORT = 103,
    IDC_GRID = 104,
    IDC_SELALL = 105,
    IDC_OK = 106,
    IDC_CHANGE = 107,
    IDC_TILLREF = 176,
    IDC_STORE = 179,
  };
  // The columns both grids begin with.
  enum : int { COL_MARK = 0, COL_FILE, COL_PATH, COL_STORE, COL_TILL, COL_DATE };

  virtual ~KVTFileImportForm() = default;

  virtual void InitForm() = 0;
  virtual void DisplayDataToImport(const std::string& store, const std::string& till) = 0;
  void ReimportToggled();
  void CheckIfOneDataSet();
  void Toggle(int row);
  void SelectAll();
  // Space on the grid marks the row and moves on (to Import after the last).
  bool GridKey(UINT vk);
  void Cmidc_ok();

 protected:
  enum class Outcome { Imported, Failed, Declined };

  // `store` and `till` are the screen buffer's fields (char[7] each).
  KVTFileImportForm(KVTScreen* screen, char* store, char* till);
  // The form: title and heading, criteria, re-import check box, the grid
  // with its columns after the mark, Select All and the buttons.
  static KVTFormDecl Declare(const char* name, const char* heading, const char* reimport,
                             KVTBufferRef store, KVTBufferRef till,
                             const std::vector<std::pair<const char*, int>>& columns);

  // The start common to both: criteria open, re-import off, the grid empty
  // with `debugColumns` hidden unless debugging.
  void ResetForm(const std::vector<int>& debugColumns);
  // Lists the defaults at once when both are given, else asks for them.
  void StartWithDefaults(const std::string& store, const std::string& till);
  // A failure before listing: the box, then the focus on Cancel.
  void Refuse(const std::string& text, const char* caption);
  // The files of `directory` named `prefix` "*.ZIP", one row each.
  void ListInGrid(const std::string& directory, const std::string& prefix, bool sales);
  bool Reimport() const;

  // The screen's own parts.
  virtual void SetTexts(bool reimport) = 0;
  virtual void FillRow(TDataTbl* grid, const KVTExchangeFile& file) = 0;
  virtual Outcome ImportRow(int row, std::string* error) = 0;
  virtual const char* ErrorCaption() const = 0;
  // After the marked rows: more work counted as rows (none by default).
  virtual void AfterRows(int* selected, int* successes, int* failures) {}
  // Import sales reports "0 files were imported" when all failed.
  virtual bool SalesSummary() const = 0;

  KVTScreen* screen_;
  char* store_;
  char* till_;

 private:
  // Leaving the till field by a key lists the files of the criteria.
  class Criteria : public KVTFieldChecker {
   public:
    explicit Criteria(KVTFileImportForm* form) : form_(form) {}
    int VerifyFields(int id) override;

   private:
    KVTFileImportForm* form_;
  };
  Criteria criteria_{this};
};
