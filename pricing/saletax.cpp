// The sale's tax kept as its lines change.
#include "pricing/saletax.h"

#include <algorithm>
#include <cstdlib>
#include <optional>

#include "platform/base/kvtbase.h"
#include "pricing/taxtable.h"

namespace kvt::pricing {

namespace {

double Number(const std::string& text) {
  return std::atof(text.c_str());
}

// A row's tax as the grid holds it: unrounded, six decimals.
std::string AmountText(const SaleTax::Line& line, const SaleTax::Row& row) {
  std::optional<double> tax = CalculateTax(Number(line.amount), Number(row.rate), Number(row.cap));
  if (!tax) return "";
  char buf[64];
  KVTsprintf(buf, "%f", *tax);
  return buf;
}

}  // namespace

void SaleTax::Reset(std::vector<Line> lines, std::vector<Row> rows) {
  lines_ = std::move(lines);
  rows_.clear();
  rows_.reserve(rows.size());
  for (Row& r : rows) rows_.push_back({std::move(r), 0});
  for (Kept& k : rows_) k.amount = Number(k.row.amount);
  pending_.clear();
  for (const Line& l : lines_) pending_.push_back(l.link);
  for (const Kept& k : rows_) pending_.push_back(k.row.link);
  relink_ = resum_ = true;
}

void SaleTax::Pend(const std::string& link) {
  if (pending_.empty() || pending_.back() != link) pending_.push_back(link);
}

void SaleTax::SetLine(std::size_t at, Line line) {
  if (at >= lines_.size()) {
    lines_.resize(at);
    if (!relink_) firstLine_.emplace(line.link, at);  // an earlier line keeps the link
    Pend(line.link);
    lines_.push_back(std::move(line));
    return;
  }
  Line& old = lines_[at];
  if (old.link != line.link) {
    relink_ = true;
    Pend(old.link);
  }
  Pend(line.link);
  old = std::move(line);
}

void SaleTax::SetRow(std::size_t at, Row row) {
  Kept kept{std::move(row), 0};
  kept.amount = Number(kept.row.amount);
  if (at >= rows_.size()) {
    rows_.resize(at);
    if (!relink_) rowsOf_[kept.row.link].push_back(at);
    Pend(kept.row.link);
    rows_.push_back(std::move(kept));
    return;
  }
  Kept& old = rows_[at];
  if (old.row.link != kept.row.link) {
    relink_ = true;
    Pend(old.row.link);
  }
  Pend(kept.row.link);
  if (at < summed_) resum_ = true;
  old = std::move(kept);
}

void SaleTax::Relink() {
  firstLine_.clear();
  rowsOf_.clear();
  for (std::size_t i = 0; i < lines_.size(); ++i) firstLine_.emplace(lines_[i].link, i);
  for (std::size_t t = 0; t < rows_.size(); ++t) rowsOf_[rows_[t].row.link].push_back(t);
  relink_ = false;
}

SaleTax::Changes SaleTax::Adjust() {
  if (relink_) Relink();
  Changes out;
  std::sort(pending_.begin(), pending_.end());
  pending_.erase(std::unique(pending_.begin(), pending_.end()), pending_.end());
  for (const std::string& link : pending_) {
    auto rows = rowsOf_.find(link);
    auto line = firstLine_.find(link);
    if (rows == rowsOf_.end() || line == firstLine_.end()) continue;
    const Line& l = lines_[line->second];
    if (l.taxable != "Y" || l.amount == "VOID") {
      out.dropped.insert(out.dropped.end(), rows->second.begin(), rows->second.end());
      continue;
    }
    for (std::size_t t : rows->second) {
      Kept& k = rows_[t];
      std::string text = AmountText(l, k.row);
      if (text == k.row.amount) continue;
      k.row.amount = text;
      k.amount = Number(text);
      if (t < summed_) resum_ = true;
      out.amounts.emplace_back(t, std::move(text));
    }
  }
  pending_.clear();
  if (!out.dropped.empty()) {
    std::sort(out.dropped.rbegin(), out.dropped.rend());
    for (std::size_t t : out.dropped) rows_.erase(rows_.begin() + static_cast<long>(t));
    Relink();
    resum_ = true;
  }
  return out;
}

double SaleTax::Total() {
  if (resum_) {
    perCode_.clear();
    summed_ = 0;
    resum_ = false;
  }
  for (; summed_ < rows_.size(); ++summed_) {
    const Kept& k = rows_[summed_];
    auto code = perCode_.begin();
    while (code != perCode_.end() && code->first != k.row.code) ++code;
    if (code == perCode_.end()) code = perCode_.insert(code, {k.row.code, 0.0});
    code->second += k.amount;
  }
  double total = 0;
  for (const auto& code : perCode_) total += KVTRound(code.second, 2);
  return KVTRound(total, 2);
}

}  // namespace kvt::pricing
