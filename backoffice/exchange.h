// The exchange files between a till and the office, without screens: their
// names ("ST-" store "-" till "-" shift "-" MMDDYYYY ".ZIP" for a till
// shift's sales, "TU-" store "-" till "-" MMDDYYYY ".ZIP" for updates), the
// way a name is read back, and the listing of a directory as the import
// grids show it (the creation time in 12-hour form and the sort field).
#pragma once

#include <ctime>
#include <string>
#include <vector>

// One listed file, as the import grids show it.
struct KVTExchangeFile {
  std::string fileName, path;            // path ends in the directory separator ("" for none)
  std::string store, till, date, shift;  // date MM/DD/YYYY; shift "ALL" for "__"
  std::string created;                   // "Date & Time Created"
  std::string sort;                      // "Sort Field"
};

class KVTExchange {
 public:
  // Swaps the two 4-character halves of an 8-character date (MMDDYYYY ->
  // YYYYMMDD), after trimming; other lengths come back trimmed.
  static std::string MakeDateYYYYMMDD(const std::string& date);

  // Reads a sales ("ST-", five parts) or update ("TU-", four parts) file
  // name; false when it is neither. Only the first 8 characters of the date
  // part count. Update files have no shift.
  static bool ParseFileName(const std::string& fileName, std::string* store, std::string* till,
                            std::string* date, std::string* shift, std::string* sortDate);

  // "MM/DD/YYYY hh:mm:ss AM": hours up to 12 as they are with "AM", 13 to
  // 23 less 12 with "PM".
  static std::string CreatedText(const std::tm& local);
  // The update files' sort field: sort date, "AM"/"PM", hour, minute,
  // second as shown.
  static std::string UpdateSortField(const std::string& sortDate, const std::tm& local);

  // The names searched: "ST-" store "-" till "-" (then anything, ".ZIP").
  static std::string SalesPrefix(const std::string& store, const std::string& till);
  static std::string UpdatePrefix(const std::string& store, const std::string& till);
  // The sales file of one till shift ("__" for all shifts), date MM/DD/YYYY
  // or MMDDYYYY.
  static std::string SalesFileName(const std::string& store, const std::string& till,
                                   const std::string& shift, const std::string& date);
  static std::string UpdateFileName(const std::string& store, const std::string& till,
                                    const std::string& date);

  // Every file (not directory) of `directory` whose name starts with
  // `prefix` and ends in ".ZIP" (without regard to case), sorted by the
  // sort field. An empty directory means the current one. False with
  // *error when the directory cannot be read.
  static bool ListFiles(const std::string& directory, const std::string& prefix, bool sales,
                        std::vector<KVTExchangeFile>* files, std::string* error);

  // The module's data strings, every value followed by a tab: "01=" store
  // "02=" till; and for a sales file "01=" path, "02=" "Y" with "03=" to
  // "05=" the till's transfer targets for a re-import, or "02=" "N".
  static std::string TillData(const std::string& store, const std::string& till);
  static std::string SalesImportData(const std::string& path, bool reimport,
                                     const std::string& trnST, const std::string& trnPB,
                                     const std::string& trnCST);

  // The store and till criteria of the exchange screens: "" when both are
  // given and exist, else the message ("Store is required.", "Invalid
  // Store.", "Till Reference is required.", "Invalid Till Reference.", or
  // why they could not be read) with *tillField set when it is the till's.
  static std::string CheckCriteria(const std::string& store, const std::string& till,
                                   bool* tillField);
  // Whether the till works on the office database (CONTYPE "D"); false with
  // *error when that could not be read.
  static bool TillDirectConnect(const std::string& store, const std::string& till, bool* direct,
                                std::string* error);

  // A new till database records its own till: every KVTCOM14 row is
  // replaced by one (store, till, "F", the path, "T" for a removable drive
  // else "F", the next record number), in one transaction. False with
  // *error, nothing changed, when it could not be saved.
  static bool RecordOwnTill(const std::string& store, const std::string& till,
                            const std::string& path, bool removable, std::string* error);
  // Whether the store table is empty (a new till database); false with
  // *error when it could not be read.
  static bool NoStores(bool* none, std::string* error);

  // "%i file was imported successfully." / "%i files were ..." and the
  // failures likewise, joined by "\n". Sales always show the success line;
  // data shows no line for a count of 0.
  static std::string ImportResult(int successes, int failures, bool sales);
};
