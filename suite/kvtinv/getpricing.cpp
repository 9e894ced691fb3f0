// "GETPRICING": an item's price, discount and cost from the inventory tables.
#include <cstdlib>
#include <string>

#include "platform/sql/kvtsql.h"
#include "suite/kvtinv/commands.h"

namespace kvtinv {
namespace {

// The item with its quantity matrix (levels Q1..Q10 at prices P1..P10 in
// columns 3 to 22, empty without a matrix), in one round trip.
const char kItem[] =
    "SELECT KVTINV2.LISTPRICE,KVTINV2.COST,Q1,Q2,Q3,Q4,Q5,Q6,Q7,Q8,Q9,Q10,P1,P2,P3,P4,P5,P6,P7,P8,"
    "P9,P10 FROM KVTINV2 LEFT JOIN KVTINV18 ON KVTINV18.REFERENCE = KVTINV2.REFERENCE AND "
    "KVTINV18.LOCATION = KVTINV2.LOCATION WHERE KVTINV2.REFERENCE = ? AND KVTINV2.LOCATION = ?";
constexpr int kFirstLevel = 3;
// The item's own row sorts before the every-item row (empty REFERENCE).
const char kDiscount[] =
    "SELECT DISCOUNT FROM KVTINV19 WHERE PRICETYPE = ? AND LOCATION = ? AND (REFERENCE = ? OR "
    "REFERENCE = '') ORDER BY REFERENCE DESC";

// Statements stay prepared for the life of the module.
KVTConnection& Conn() {
  static KVTConnection conn(1);
  return conn;
}

bool Run(const char* stmt, std::initializer_list<const char*> values) {
  KVTConnection& c = Conn();
  for (const char* v : values)
    if (c.BindParam(stmt, v, 0) <= 0) return false;
  return c.ExecuteSQL(stmt) > 0 && c.FetchNext(stmt);
}

std::string Column(const char* stmt, int column) {
  return Trim(Conn().ColumnVar(stmt, column));
}

// The price of the highest matrix level of the item just read that
// `quantity` reaches; `price` unchanged below every level or without a matrix.
void MatrixPrice(double quantity, std::string* price) {
  bool found = false;
  double best = 0;
  for (int level = 0; level < 10; ++level) {
    std::string q = Column(kItem, kFirstLevel + level);
    std::string p = Column(kItem, kFirstLevel + 10 + level);
    if (q.empty() || p.empty()) continue;
    double at = std::atof(q.c_str());
    if (at <= quantity && (!found || at >= best)) {
      found = true;
      best = at;
      *price = p;
    }
  }
}

}  // namespace

int GetPricing(const char* request, char* reply, int size) {
  std::vector<std::string> f = RequestFields(request, size);
  const std::string& item = Field(f, 0);
  const std::string& location = Field(f, 1);
  const std::string& quantity = Field(f, 2);
  const std::string& pricingType = Field(f, 3);
  bool redo = Field(f, 4) != "F";
  if (item.empty() || !Run(kItem, {item.c_str(), location.c_str()})) return Fail(reply);
  std::string price = Column(kItem, 1);
  std::string cost = Column(kItem, 2);

  MatrixPrice(std::atof(quantity.c_str()), &price);

  std::string discount;
  if (!pricingType.empty() && Run(kDiscount, {pricingType.c_str(), location.c_str(), item.c_str()}))
    discount = Column(kDiscount, 1);

  if (!redo) {
    if (!Field(f, 7).empty()) cost = Field(f, 7);
    if (!Field(f, 8).empty()) price = Field(f, 8);
    if (!Field(f, 9).empty()) discount = Field(f, 9);
  }
  return Answer(reply, size, price + "," + discount + "," + cost);
}

}  // namespace kvtinv
