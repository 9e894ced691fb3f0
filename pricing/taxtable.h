// The sale's tax table: one row per tax code of each taxable line, tied to
// the line by its item link; amounts held unrounded and rounded once per
// code for the sale's tax. Also the reads of the tax authorities and codes.
#pragma once

#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "pricing/lookup.h"

namespace kvt::pricing {

// The tax of one line for one code: `percent` of `amount`, capped by `cap`
// when the cap rounds above 0 (a return, below 0, is never capped). 0 on a
// zero amount; none when the rate rounds to 0 or less.
std::optional<double> CalculateTax(double amount, double percent, double cap);

struct TaxRow {
  std::string code;
  std::string rate;  // the code's rate and cap as the tax tables hold them
  std::string cap;
  std::optional<double> amount;  // unrounded; none until the line is taxed
  std::string link;              // the sale line's item link
};

class TaxTable {
 public:
  std::vector<TaxRow>& rows() { return rows_; }
  const std::vector<TaxRow>& rows() const { return rows_; }

  // Recomputes the rows of line `link` for its `amount`, or drops them for
  // good when the line is voided or not taxable.
  void AdjustLine(const std::string& link, double amount, bool taxed);
  // The sale's tax: rows summed per code, each code rounded to cents once.
  double Total() const;
  // The rows' amounts as saved, in order: each rounded to cents, the last
  // taking up the difference so that they add up to `saleTax`.
  std::vector<double> SaveAmounts(double saleTax) const;

 private:
  std::vector<TaxRow> rows_;
};

// The tax tables of the database: authorities of sales categories (KVTCOM12),
// codes of an authority (KVTAR16A), rates and caps of a code (KVTAR19). An
// answer is kept until Forget (the owner calls it when a sale starts), so the
// lines of one sale ask once; a failed read is never kept.
class TaxTables {
 public:
  void Forget();
  // The authority of `category` at `store`, trimmed; "" (found) when blank.
  Looked<std::string> CategoryAuthority(const std::string& category, const std::string& store);
  // The rows a line of `link` gets: one per code of `authority` that has a
  // rate record, in the authority's order, without an amount yet.
  Looked<std::vector<TaxRow>> RowsOf(const std::string& authority, const std::string& link);

 private:
  Looked<std::vector<TaxRow>> ReadRowsOf(const std::string& authority);
  std::map<std::pair<std::string, std::string>, Looked<std::string>> authorities_;
  std::map<std::string, Looked<std::vector<TaxRow>>> rows_;
  kvt::sql::Query category_{"SELECT TAXAUTH FROM KVTCOM12 WHERE REFERENCE = ? AND LOCATION = ?"};
  kvt::sql::Query codes_{"SELECT TAXCODE FROM KVTAR16A WHERE TAXAUTH = ?"};
  kvt::sql::Query rate_{"SELECT TAXRATE,AMOUNT FROM KVTAR19 WHERE TAXCODE = ?"};
};

}  // namespace kvt::pricing
