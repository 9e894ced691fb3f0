// The sale's tax kept as its lines change: the tax rows of the lines that
// changed are taxed again and the per-code sums go on from where they were,
// so keying a line costs in proportion to that line and its tax codes, not
// to the sale. Amounts, rounding and rows dropped are those of taxing every
// line again (TaxTable, CalculateTax).
#pragma once

#include <cstddef>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

namespace kvt::pricing {

class SaleTax {
 public:
  // A sale line as its tax sees it: item link, amount ("VOID" when voided)
  // and taxable flag ("Y" taxable), as the sale grid holds them.
  struct Line {
    std::string link, amount, taxable;
  };
  // A tax row as the tax grid holds it; the amount unrounded ("%f"), empty
  // until the line is taxed.
  struct Row {
    std::string code, rate, cap, amount, link;
  };
  // What taxing again changed, for the grid to follow: new amount texts by
  // row, then the rows that went (from the last, so that deleting them in
  // this order leaves the others' places right), numbered before any went.
  struct Changes {
    std::vector<std::pair<std::size_t, std::string>> amounts;
    std::vector<std::size_t> dropped;
  };

  // All lines and rows anew (the grids' rows moved).
  void Reset(std::vector<Line> lines, std::vector<Row> rows);
  // Line or row `at` now reads as given; `at` one past the last appends.
  void SetLine(std::size_t at, Line line);
  void SetRow(std::size_t at, Row row);
  std::size_t LineCount() const { return lines_.size(); }
  std::size_t RowCount() const { return rows_.size(); }

  // Taxes again every line that changed and every line whose rows came or
  // changed since the last Adjust: each row of the line's link gets
  // CalculateTax of the first line with that link; a voided or non-taxable
  // line loses its rows. Rows whose link has no line are left as they are.
  Changes Adjust();
  // The sale's tax: the rows summed per code in their order, each code
  // rounded to cents once, as TaxTable::Total.
  double Total();

 private:
  struct Kept {
    Row row;
    double amount = 0;  // the amount text read as a number
  };
  void Pend(const std::string& link);
  void Relink();

  std::vector<Line> lines_;
  std::vector<Kept> rows_;
  std::unordered_map<std::string, std::size_t> firstLine_;            // by link
  std::unordered_map<std::string, std::vector<std::size_t>> rowsOf_;  // by link, in order
  bool relink_ = false;  // a line or row changed its link: both maps read again
  std::vector<std::string> pending_;
  // Sums per code in the order the codes first come, over the first
  // `summed_` rows; read again from the start when one of those changed.
  std::vector<std::pair<std::string, double>> perCode_;
  std::size_t summed_ = 0;
  bool resum_ = false;
};

}  // namespace kvt::pricing
