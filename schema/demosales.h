// The demo store's saved sales: two closed shifts of till 1 at store MAIN,
// saved through the till's own sale writer (numbers, links, lines, taxes and
// category history as a sale at the till saves them), so the daily sales
// review and the transfer to accounting have sales to show. The first shift
// is transferred already, the second waits for its transfer.
#pragma once

#include <string>

namespace kvt::schema {

// Saves the demo sales on connection 1 (after LoadDemoStore). False with
// *error when one could not be saved; the sales saved before it stay.
bool SaveDemoSales(std::string* error, int* count = nullptr);

}  // namespace kvt::schema
