// Parked sales of a till shift and the count of its untransferred sales:
// what the recall screen lists and the close-out voids.
#pragma once

#include <string>
#include <vector>

namespace kvt::sale {

// The till shift whose sales are asked for; `date` as the login keeps it
// ("MMDDYYYY" or "MM/DD/YYYY").
struct TillShift {
  std::string store, date, till, shift;
};

// One parked sale as the recall screen lists it.
struct ParkedSale {
  std::string employee, number, total, recno, link;
};

// One line of a parked sale: FS and Tax read "Y" or "N".
struct ParkedItem {
  std::string reference, description, quantity, price, amount, fs, tax;
};

// The parked sales (status 'S') of the till shift, in the database's order.
// False with the database's message when the look-up failed.
bool ParkedSales(const TillShift& t, std::vector<ParkedSale>* sales, std::string* error);

// The lines of the sale `link`. False with the message on failure.
bool ParkedItems(const std::string& link, std::vector<ParkedItem>* items, std::string* error);

// The parked sales of the till shift as the close-out voids them: number and
// link each.
bool SalesToVoid(const TillShift& t, std::vector<ParkedSale>* sales, std::string* error);

// "Y" for a flag of "1", "N" otherwise.
std::string YesNo(const std::string& flag);

// The count, as text, of the till's sales of the day not yet transferred to
// accounting, of one shift or (empty shift) of every shift; "0" without a
// row. False with the message on failure.
bool CountUntransferred(const TillShift& t, std::string* count, std::string* error);

// A shift date as the login keeps it ("MMDDYYYY") as "MM/DD/YYYY"; a date
// with slashes, or any other text, as it is.
std::string SlashedDate(const std::string& date);

}  // namespace kvt::sale
