// The transfer module's exchange archives: the sales of one till shift
// (headers KVTPOS1, lines KVTPOS2, taxes KVTPOS3) written by the till into an
// "ST-" store "-" till "-" shift "-" MMDDYYYY ".ZIP" file and read back into
// the office database.
//
// Inside the archive each table is one text entry ("KVTPOS1.TXT", ...): a
// line of column names, then one line per row, values separated by tabs
// (tab, line break and backslash escaped with a backslash). A sale is known
// by its INVOICELNK: importing a file again replaces the sales it carries
// instead of adding them twice, and the whole file goes in one transaction.
#pragma once

#include <string>
#include <vector>

namespace kvt::ctm {

// Writes the sales of `store`, `till` on `date` (MM/DD/YYYY) of `shift`
// ("" for every shift) that wait for their transfer (no TRANSNUM) into
// `directory`; the archive's full path comes back in *path. Suspended sales
// (STATUS 'S') stay at the till.
// False with *error when there are no sales or the file cannot be written
// (nothing is left behind then). *count is the number of sales written.
bool WriteSalesArchive(const std::string& directory, const std::string& store,
                       const std::string& till, const std::string& shift, const std::string& date,
                       std::string* path, int* count, std::string* error);

// Reads an "ST-" archive into the database of connection 1 in one
// transaction; imported sales wait for their transfer to accounting. False
// with *error, nothing changed, when the file is missing, corrupt or does
// not hold sales. *count is the number of sales imported.
bool ImportSalesArchive(const std::string& path, int* count, std::string* error);

// The master data a till needs from the office (stores, tills, employees,
// shifts, categories, tax codes, items and prices, customers and balances,
// batches, card types, bad checks), whole tables with their record numbers.
const std::vector<std::string>& UpdateTables();

// Writes the update file "TU-" store "-" till "-" MMDDYYYY ".ZIP" (date
// MM/DD/YYYY) with every update table into `directory`.
bool WriteUpdateArchive(const std::string& directory, const std::string& store,
                        const std::string& till, const std::string& date, std::string* path,
                        std::string* error);

// Replaces every update table with the file's rows, in one transaction;
// false with *error, nothing changed, when the file is missing or damaged.
bool ImportUpdateArchive(const std::string& path, std::string* error);

}  // namespace kvt::ctm
