// The POS configuration record.
#include "setup/posconfig.h"

#include <cstdlib>

namespace sql = kvt::sql;

namespace {

constexpr KVTConfigKind F = KVTConfigKind::Flag;
constexpr KVTConfigKind N = KVTConfigKind::Number;
constexpr KVTConfigKind T = KVTConfigKind::Text;

std::string Trimmed(const std::string& s) {
  std::size_t b = s.find_first_not_of(' ');
  if (b == std::string::npos) return "";
  return s.substr(b, s.find_last_not_of(' ') - b + 1);
}

bool IsNumber(const std::string& s) {
  if (s.empty()) return true;
  char* end = nullptr;
  std::strtod(s.c_str(), &end);
  return end && *end == '\0' && s.find_first_of("0123456789") != std::string::npos &&
         s.find_first_of("xXpPeEiInN") == std::string::npos;
}

}  // namespace

const std::vector<KVTConfigColumn>& KVTConfigColumns() {
  // clang-format off
  static const std::vector<KVTConfigColumn> columns = {
      {"STAXAUTH",   1, "Sales Tax Authority", T, 10},
      {"UPDATEQOH",  1, "Sales Update Quantity on Hand", F, 1},
      {"USEPRBK",    1, "Use Inventory", F, 1},
      {"USECSTORE",  1, "Use Convenience Store", F, 1},
      {"CATTAXAUTH", 1, "Tax Authority from Sales Category", F, 1},
      {"TAXEXCUST",  1, "Tax Exempt Customer Non-Taxable", F, 1},
      {"NONTAXKEY",  1, "Non-Taxable Key", T, 10},
      {"DECFORPRC",  1, "Decimals for Price", N, 2},
      {"SNDALMS",    1, "Sound Alarms", F, 1},
      {"CHANGEDATE", 1, "Allow Changing the Sale Date", F, 1},
      {"PSWD",       1, "Password", T, 10},
      {"BOSYSTEM",   1, "Back Office System", T, 2},
      {"USESTNSNUM", 1, "Sale Numbers per Store", F, 1},
      {"PFTC",       1, "PFTC", T, 10},
      {"CFGSIGN",    1, "Capture Signatures", F, 1},
      {"VIEWCUSTBL", 2, "Allow Viewing Customer Balance", F, 1},
      {"REMOVETAX",  2, "Allow Removing Tax", F, 1},
      {"MAXCHRDEPT", 2, "Most Characters of a Department", N, 3},
      {"MAXQTY",     2, "Largest Quantity", N, 10},
      {"MAXAMOUNT",  2, "Largest Line Amount", N, 10},
      {"MAXTLLDISC", 2, "Largest Till Discount", N, 10},
      {"DISPQOH",    2, "Searches Show Quantity on Hand", F, 1},
      {"DISPPRICE",  2, "Searches Show Price", F, 1},
      {"ENTERSREP",  2, "Enter a Sales Representative", F, 1},
      {"DEFSREP",    2, "Default Sales Representative", T, 10},
      {"SRCHBARCD",  2, "Search Bar Codes", F, 1},
      {"CHGTLLDESC", 2, "Allow Changing Till Code Description", F, 1},
      {"PRMPTONQTY", 2, "Prompt for Quantity", F, 1},
      {"PRMPTONAMT", 2, "Prompt for Amount", F, 1},
      {"DISPRCECH",  2, "Display Price Each", F, 1},
      {"PAUSECMPLT", 2, "Pause when Sale Complete", F, 1},
      {"PRMPTVOID",  2, "Prompt on Void", F, 1},
      {"PRMPTRET",   2, "Prompt on Return", F, 1},
      {"CASHCHK",    2, "Allow Check Cashing", F, 1},
      {"PRMPTAID",   2, "Ask for ID on Alcohol", F, 1},
      {"PRMPTTID",   2, "Ask for ID on Tobacco", F, 1},
      {"ALCAGE",     2, "Minimum Age for Alcohol", N, 3},
      {"TABAGE",     2, "Minimum Age for Tobacco", N, 3},
      {"SHOWSRWIN",  2, "Show Inventory Search Window", F, 1},
      {"RTNPRVITM",  2, "Allow Returning a Previous Item", F, 1},
      {"VOIDTAB1",   2, "Allow Void on the Item Tab", F, 1},
      {"PROMPTCUST", 3, "Prompt for Customer", T, 15},
      {"CASHCUST",   3, "Cash Sale Customer", T, 10},
      {"CHECKCUST",  3, "Check Sale Customer", T, 10},
      {"CCARDCUST",  3, "Credit Card Sale Customer", T, 10},
      {"FSCUST",     3, "Food Stamp Sale Customer", T, 10},
      {"ARCUST",     3, "Charge Customer", T, 10},
      {"ADDCUST",    3, "Allow Adding Customers", F, 1},
      {"PSWDCUST",   3, "Password to Add Customers", F, 1},
      {"CUSTSRCH",   3, "Allow Customer Search", F, 1},
      {"VIEWCUSTCM", 3, "Comments with the Balance", F, 1},
      {"DISPCUSTCM", 3, "Comments on the Payment Tab", F, 1},
      {"VALCHECKS",  3, "Validate Checks", F, 1},
      {"DEFCHGAMT",  3, "Charge Defaults to Sale Total", F, 1},
      {"DEFCCAMT",   3, "Card Defaults to Sale Total", F, 1},
      {"TAXCHG",     3, "Allow Changing Tax", F, 1},
      {"CRTLMTOR",   3, "Allow Credit Limit Override", F, 1},
      {"PSWDCRTLOR", 3, "Password for the Override", F, 1},
      {"ENTERDEC",   3, "Enter Decimals on Payments", F, 1},
      {"DEFCCTYPE",  3, "Default Credit Card Type", T, 10},
      {"ALLOWPOACC", 3, "Paid on Account by Credit Card", F, 1},
      {"OPNCDCHG",   3, "Open Drawer on Charge Sales", F, 1},
      {"OPENCCSALE", 3, "Open Drawer on Card Sales", F, 1},
      {"ALLOWCBCC",  3, "Cash Back on Credit Cards", F, 1},
      {"NSADVSN",    3, "No Sale Advances Sale Number", F, 1},
      {"CCADVSN",    3, "Check Cashing Advances Sale Number", F, 1},
      {"CANEXCHG",   3, "Canadian Exchange", T, 10},
      {"SHOWDUE",    3, "Show Amount Due", F, 1},
      {"PRMPTCCTYP", 4, "Sale: Ask Card Type", F, 1},
      {"PRMPTCCNUM", 4, "Sale: Ask Card Number", F, 1},
      {"PRMPTCCEXP", 4, "Sale: Ask Card Expiry Date", F, 1},
      {"PRMPTCCATH", 4, "Sale: Ask Card Authorization", F, 1},
      {"PRMPTCKNUM", 4, "Sale: Ask Check Number", F, 1},
      {"PRMPTCKACT", 4, "Sale: Ask Check Account", F, 1},
      {"PRMPTPONUM", 4, "Sale: Ask PO Number", F, 1},
      {"POACCTYP",   4, "On Account: Ask Card Type", F, 1},
      {"POACCNUM",   4, "On Account: Ask Card Number", F, 1},
      {"POACCEXP",   4, "On Account: Ask Card Expiry", F, 1},
      {"POACCATH",   4, "On Account: Ask Card Auth.", F, 1},
      {"POACKNUM",   4, "On Account: Ask Check Number", F, 1},
      {"POACKACT",   4, "On Account: Ask Check Account", F, 1},
      {"ALLOWPOAGC", 4, "Paid on Account by Gift Card", F, 1},
      {"DEFGCTYPE",  4, "Default Gift Card Type", T, 10},
      {"GCARDCUST",  4, "Gift Card Sale Customer", T, 10},
      {"PRMPTGCTYP", 4, "Sale: Ask Gift Card Type", F, 1},
      {"PRMPTGCNUM", 4, "Sale: Ask Gift Card Number", F, 1},
      {"PRMPTGCEXP", 4, "Sale: Ask Gift Card Expiry", F, 1},
      {"PRMPTGCATH", 4, "Sale: Ask Gift Card Auth.", F, 1},
      {"POAGCTYP",   4, "On Account: Ask Gift Card Type", F, 1},
      {"POAGCNUM",   4, "On Account: Ask Gift Card Number", F, 1},
      {"POAGCEXP",   4, "On Account: Ask Gift Card Expiry", F, 1},
      {"POAGCATH",   4, "On Account: Ask Gift Card Auth.", F, 1},
      {"POADISC",    4, "Paid on Account Discount", N, 10},
      {"POADISCCAT", 4, "Paid on Account Discount Category", T, 10},
      {"RECFORM",    5, "Receipt Layout", N, 1},
      {"INVFORM",    5, "Invoice Layout", N, 2},
      {"DISPDTL",    5, "Print Tax Detail", F, 1},
      {"PRTINV",     5, "Allow Printing Invoices", F, 1},
      {"PRMPTADREC", 5, "Allow Additional Receipts", F, 1},
      {"PRNTNOSALE", 5, "Print No Sale Receipt", F, 1},
      {"PRNTCLSOUT", 5, "Print Close-out Report", F, 1},
      {"CLSTOPRINT", 5, "Close-out to Printer", F, 1},
      {"CLSOUTFORM", 5, "Close-out Layout", N, 1},
      {"TLLREFATCO", 5, "Ask Till at Close-out", F, 1},
      {"TLRFTOPRNT", 5, "Force Till to Printer", F, 1},
      {"CASHCOPIES", 5, "Cash Receipt Copies", N, 2},
      {"CHKCOPIES",  5, "Check Receipt Copies", N, 2},
      {"CHRGCOPIES", 5, "Charge Receipt Copies", N, 2},
      {"CCRDCOPIES", 5, "Credit Card Receipt Copies", N, 2},
      {"POACOPIES",  5, "Paid on Account Copies", N, 2},
      {"FSCOPIES",   5, "Food Stamp Receipt Copies", N, 2},
      {"CSRTCOPIES", 5, "Cash Return Copies", N, 2},
      {"CRRTCOPIES", 5, "Charge Return Copies", N, 2},
      {"VOIDCOPIES", 5, "Void Receipt Copies", N, 2},
      {"USEBATCHES", 6, "Transfer in Batches", F, 1},
      {"TRNPSWD",    6, "Transfer Password", T, 10},
  };
  // clang-format on
  return columns;
}

sql::Found KVTPOSConfigRecord::Read(KVTConfigValues* values) {
  std::string list;
  for (const KVTConfigColumn& c : KVTConfigColumns())
    list += std::string(list.empty() ? "" : ",") + c.column;
  sql::Result r =
      sql::Run("SELECT " + list + " FROM KVTPOS10 WHERE STORE = ? AND TILLREF = ? AND SLSMAN = ?",
               {sql::Text(""), sql::Text(""), sql::Text("")});
  values->clear();
  if (!r.ok()) error_ = r.error();
  for (const KVTConfigColumn& c : KVTConfigColumns())
    (*values)[c.column] = r.found() == sql::Found::Yes ? Trimmed(r.first()[c.column]) : "";
  return r.found();
}

std::string KVTPOSConfigRecord::Check(const KVTConfigValues& values, std::string* message) {
  for (const KVTConfigColumn& c : KVTConfigColumns()) {
    auto it = values.find(c.column);
    std::string v = it == values.end() ? "" : Trimmed(it->second);
    if (c.kind == KVTConfigKind::Flag && v != "T" && v != "F") {
      *message = std::string(c.caption) + " must be T or F.";
      return c.column;
    }
    if (c.kind == KVTConfigKind::Number && !IsNumber(v)) {
      *message = std::string(c.caption) + " must be a number.";
      return c.column;
    }
  }
  return "";
}

bool KVTPOSConfigRecord::Write(const KVTConfigValues& values) {
  std::string message;
  if (!Check(values, &message).empty()) return error_ = message, false;
  sql::Transaction unit;
  if (!unit.ok()) return error_ = unit.error(), false;
  sql::Result there =
      sql::Run("SELECT RECNO FROM KVTPOS10 WHERE STORE = ? AND TILLREF = ? AND SLSMAN = ?",
               {sql::Text(""), sql::Text(""), sql::Text("")});
  if (!there.ok()) return error_ = there.error(), false;
  if (there.found() == sql::Found::No) {
    sql::Result made =
        sql::Run("INSERT INTO KVTPOS10 (STORE,TILLREF,SLSMAN,RECNO) VALUES (?,?,?,?)",
                 {sql::Text(""), sql::Text(""), sql::Text(""), sql::Number(1)});
    if (!made.ok()) return error_ = made.error(), false;
  }
  std::string set;
  std::vector<sql::Value> bound;
  for (const KVTConfigColumn& c : KVTConfigColumns()) {
    set += std::string(set.empty() ? "" : ",") + c.column + "=?";
    auto it = values.find(c.column);
    bound.push_back(sql::Text(it == values.end() ? "" : Trimmed(it->second)));
  }
  for (int i = 0; i < 3; ++i) bound.push_back(sql::Text(""));
  sql::Result r = sql::Run(
      "UPDATE KVTPOS10 SET " + set + " WHERE STORE = ? AND TILLREF = ? AND SLSMAN = ?", bound);
  if (!r.ok()) return error_ = r.error(), false;
  if (!unit.Commit()) return error_ = unit.error(), false;
  return true;
}
