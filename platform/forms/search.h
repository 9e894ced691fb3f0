// Pick lists: SearchWin lists the rows of a SELECT with a column description
// and gives back the row chosen; KVTSimpleSearch does the same for a named
// search configuration ("CUSTREFSRCH" with its format "CUSTREFFMT"...).
//
// The list is a modal dialog of this runtime (KVTSearchDlg), drawn by the
// front end like any screen: a "Find" field that moves the cursor to the
// first row starting with what is typed (first column, without regard to
// case), the grid of rows, "&Select" and "&Cancel". Enter chooses the row
// under the cursor, a double click the row clicked; Esc chooses nothing. The rows come from the
// query function the host installed (platform/forms/query.h).
#pragma once

#include <string>
#include <vector>

#include "platform/base/export.h"
#include "platform/forms/dialogs.h"

// One group of a column description: column name, title, display width and
// a flag (non-zero: right-aligned, for numbers).
struct KVTSearchColumn {
  std::string name;
  std::string title;
  int width = 10;
  int flag = 0;
};

// Parses "DESCRIPT,Description,30,0,REFERENCE,Reference,15,0" (blanks
// around the parts are dropped). False when it is not whole groups of four
// with a number for width and flag, or has no group.
KVT_EXPORT bool ParseSearchColumns(const std::string& description,
                                   std::vector<KVTSearchColumn>* columns);

struct KVT_EXPORT KVTSearchResult {
  // Every column of the chosen row, in the order of the SELECT; columns past
  // the description (the record number the searches select last) included.
  std::vector<std::string> values;
  std::string Value(std::size_t index) const;
  // The last column as a number: the record number of the row chosen.
  double Recno() const;
};

// Lists the rows of `sql` (its first columns described by `columns`) and
// returns 1 with the chosen row in `result`, or 0 when nothing was chosen.
// No rows: "No matching records were found." (information, captioned with
// the title). A statement that fails or a bad description: "The list could
// not be read." (caption "Error", stop icon). Both return 0.
KVT_EXPORT int SearchWin(HWND parent, int reserved, KVTSearchResult* result, const char* columns,
                         const char* sql, const char* title = "Search", const char* start = "");

// A named search configuration: what SearchWin is given for it.
struct KVTSearchConfig {
  const char* search;   // "CUSTREFSRCH"
  const char* format;   // "CUSTREFFMT": the column description below
  const char* title;    // the window title when the caller gives none
  const char* select;   // "SELECT ... FROM ..." with the record number last
  const char* where;    // condition always applied ("" for none)
  const char* order;    // ORDER BY when the caller gives none
  const char* columns;  // the column description
};

// The configuration of a search name (without regard to case), or null.
KVT_EXPORT const KVTSearchConfig* FindSearchConfig(const std::string& search);
KVT_EXPORT const std::vector<KVTSearchConfig>& SearchConfigs();
// The statement of a configuration with the caller's filter (" WHERE ...",
// joined to the configuration's own condition with AND) and order ("" for
// the configuration's own).
KVT_EXPORT std::string SimpleSearchSQL(const KVTSearchConfig& config, const std::string& filter,
                                       const std::string& order);
// The simple search window. An unknown search name, or a format that is not
// the search's own, shows "Unknown search configuration %s." (caption
// "Error") and returns 0; otherwise as SearchWin.
KVT_EXPORT int KVTSimpleSearch(HWND parent, const char* search, const char* format,
                               KVTSearchResult* result, const char* filter = "",
                               const char* order = "", const char* title = nullptr,
                               const char* start = "");

// The pick-list dialog itself.
class KVT_EXPORT KVTSearchDlg : public PVDialog {
 public:
  enum : int { IDC_FIND = 1001, IDC_LIST = 1002 };

  KVTSearchDlg(HWND parent, const std::string& title, const std::vector<KVTSearchColumn>& columns,
               const std::vector<std::vector<std::string>>& rows, const std::string& start);
  const std::vector<std::string>& Chosen() const { return chosen_; }

 protected:
  void SetupWindow() override;
  bool PreProcessMsg(MSG& msg) override;
  void CmOk() override;

 private:
  static KVTFormDecl MakeForm(const std::string& title, const std::vector<KVTSearchColumn>& columns,
                              std::size_t hiddenColumns);
  void Locate();

  std::vector<std::vector<std::string>> rows_;
  std::string start_;
  std::vector<std::string> chosen_;
};
