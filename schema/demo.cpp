// The demo store: Prairie Farm Supply, a main store and a west branch.
#include "schema/demo.h"

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "platform/sql/kvtsql.h"
#include "platform/sql/query.h"
#include "schema/schema.h"

namespace kvt::schema {
namespace {

// A fixed sequence, the same on every machine.
class Sequence {
 public:
  std::uint32_t Next() {
    state_ = state_ * 1664525u + 1013904223u;
    return state_ >> 8;
  }
  int Below(int n) { return static_cast<int>(Next() % static_cast<std::uint32_t>(n)); }
  double Between(double lo, double hi) { return lo + (hi - lo) * (Next() % 10000) / 9999.0; }

 private:
  std::uint32_t state_ = 20240315u;
};

std::string Money(double v) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "%.2f", v);
  return buf;
}

// A price that looks like a shelf price: .49, .79, .99 endings.
double ShelfPrice(double v) {
  static const double endings[] = {0.49, 0.79, 0.99};
  double whole = static_cast<long>(v);
  return whole + endings[static_cast<long>(v * 7) % 3];
}

// A UPC-A bar code with its check digit.
std::string Upc(long n) {
  char digits[16];
  std::snprintf(digits, sizeof digits, "07%09ld", n % 1000000000L);
  int sum = 0;
  for (int i = 0; i < 11; ++i) sum += (digits[i] - '0') * (i % 2 == 0 ? 3 : 1);
  return std::string(digits) + static_cast<char>('0' + (10 - sum % 10) % 10);
}

struct Loader {
  RowWriter writer;
  std::string error;
  bool ok = true;
  void Row(const char* table, const kvt::schema::Row& row) {
    if (ok && !writer.Insert(table, row)) {
      ok = false;
      error = writer.error();
    }
  }
};

const char* const kStores[][9] = {
    // reference, name, address, city, state, zip, phone, location, next sale number
    {"MAIN", "Prairie Farm Supply", "1400 Railroad Ave", "Sterling", "KS", "67579", "620-555-0140",
     "01", "1001"},
    {"WEST", "Prairie Farm Supply West", "88 Highway 56", "Lyons", "KS", "67554", "620-555-0188",
     "02", "5001"},
};

void Stores(Loader& l, DemoCounts* counts) {
  for (const auto& s : kStores) {
    l.Row("KVTCOM13", {{"REFERENCE", s[0]},
                       {"NAME", s[1]},
                       {"ADDRESS1", s[2]},
                       {"CITY", s[3]},
                       {"STATE", s[4]},
                       {"ZIPCODE", s[5]},
                       {"PHONE", s[6]},
                       {"LOCATION", s[7]},
                       {"NEXTSLNUM", s[8]}});
    ++counts->stores;
  }
  // Tills: the main store's tills reach the office database directly ("D").
  const char* tills[][4] = {{"MAIN", "1", "Front counter", "D"},
                            {"MAIN", "2", "Feed dock", "D"},
                            {"WEST", "1", "Counter", "R"}};
  for (const auto& t : tills)
    l.Row("KVTCOM14", {{"STOREREF", t[0]},
                       {"TILLNUM", t[1]},
                       {"DESCRIPT", t[2]},
                       {"CONTYPE", t[3]},
                       {"CONPATH", ""},
                       {"REMOVABLE", "F"},
                       {"TRNST", "T"},
                       {"TRNPB", "T"},
                       {"TRNCST", "F"}});
  const char* shifts[][2] = {{"1", "Morning"}, {"2", "Afternoon"}, {"3", "Evening"}};
  for (const auto& s : shifts) l.Row("KVTCOM10", {{"SHIFT", s[0]}, {"DESCRIPT", s[1]}});
  const char* employees[][2] = {{"100", "Dana Whitfield"},
                                {"101", "Luis Ortega"},
                                {"102", "Mei Chen"},
                                {"103", "Tom Brandt"},
                                {"MGR", "Karen Holt"}};
  for (const auto& e : employees) l.Row("KVTCOM11", {{"EMPCODE", e[0]}, {"NAME", e[1]}});
  l.Row("KVTCOM20", {{"FEATURE", "20765"}});  // inactive till codes are not sold
  l.Row("KVTFL23", {{"REFERENCE", "POS"}, {"DESCRIPT", "Point of sale tickets"}});
  l.Row("KVTFL23", {{"REFERENCE", "POSW"}, {"DESCRIPT", "West branch tickets"}});
  const char* cards[][4] = {{"VISA", "Visa", "", "V"},
                            {"MC", "MasterCard", "", "M"},
                            {"DISC", "Discover", "", "D"},
                            {"AMEX", "American Express", "01", "A"}};  // main store only
  for (const auto& c : cards)
    l.Row("KVTFL25", {{"CODE", c[0]}, {"DESCRIPT", c[1]}, {"LOCATION", c[2]}, {"CARDTYPE", c[3]}});
  l.Row("KVTPTR1", {{"PDRIVER", "EPSON TM-T88"}, {"PCODES", "27,112,0,25,250"}});
  l.Row("KVTPTR1", {{"PDRIVER", "STAR TSP100"}, {"PCODES", "7"}});
}

void Taxes(Loader& l) {
  // Code, description, rate, cap on one line's tax (empty: none).
  const char* codes[][4] = {{"KS", "Kansas sales tax", "6.500", ""},
                            {"RICE", "Rice County tax", "1.000", ""},
                            {"STER", "City of Sterling tax", "0.750", ""},
                            {"LYON", "City of Lyons tax", "1.000", ""},
                            {"EQUIP", "Equipment excise (capped)", "1.500", "25.00"},
                            {"FOOD", "Food sales tax", "4.000", ""}};
  for (const auto& c : codes)
    l.Row("KVTAR19", {{"TAXCODE", c[0]}, {"DESCRIPT", c[1]}, {"TAXRATE", c[2]}, {"AMOUNT", c[3]}});
  const char* auths[][2] = {
      {"MAIN", "KS"},   {"MAIN", "RICE"}, {"MAIN", "STER"},  {"WEST", "KS"},     {"WEST", "RICE"},
      {"WEST", "LYON"}, {"EQUIP", "KS"},  {"EQUIP", "RICE"}, {"EQUIP", "EQUIP"}, {"FOOD", "FOOD"}};
  for (const auto& a : auths) l.Row("KVTAR16A", {{"TAXAUTH", a[0]}, {"TAXCODE", a[1]}});
}

struct Category {
  const char* ref;
  const char* till;
  const char* descr;
  const char* taxable;   // "1"/"0"
  const char* auth;      // tax authority; "*" the store's own
  const char* retunit;   // price
  const char* extra[8];  // further column/value pairs, null-terminated
};

const Category kCategories[] = {
    {"FEED", "10", "Livestock Feed", "0", "*", "0.00", {"FARMUSE", "1", "PRICECHG", "T"}},
    {"SEED", "11", "Seed", "0", "*", "0.00", {"FARMUSE", "1", "PRICECHG", "T"}},
    {"FERT",
     "12",
     "Fertilizer",
     "0",
     "*",
     "0.00",
     {"FARMUSE", "1", "TOTAMT", "1", "ENTERAMT", "T"}},
    {"CHEM", "13", "Ag Chemicals", "1", "*", "0.00", {"FARMUSE", "1", "PRICECHG", "T"}},
    {"HDWR", "20", "Hardware", "1", "*", "0.00", {"PRICECHG", "T"}},
    {"FENCE", "21", "Fencing", "1", "*", "0.00", {"PRICECHG", "T"}},
    {"TOOL", "22", "Tools", "1", "EQUIP", "0.00", {"PRICECHG", "T"}},
    {"PLUMB", "23", "Plumbing", "1", "*", "0.00", {"PRICECHG", "T"}},
    {"ELEC", "24", "Electrical", "1", "*", "0.00", {"PRICECHG", "T"}},
    {"PAINT", "25", "Paint", "1", "*", "0.00", {"PRICECHG", "T"}},
    {"VET", "30", "Animal Health", "1", "*", "0.00", {"FARMUSE", "1", "PRICECHG", "T"}},
    {"PET", "31", "Pet Food & Supplies", "1", "*", "0.00", {"PRICECHG", "T"}},
    {"CLOTH", "40", "Clothing & Boots", "1", "*", "0.00", {"PRICECHG", "T"}},
    {"LAWN",
     "41",
     "Lawn & Garden",
     "1",
     "*",
     "0.00",
     {"PRICECHG", "T", "RND1LT", "5", "RND1MKLD", "9"}},  // prices end in 9
    {"AUTO", "42", "Auto & Equipment", "1", "EQUIP", "0.00", {"PRICECHG", "T"}},
    {"GROC", "50", "Snacks & Drinks", "0", "FOOD", "0.00", {"FOODSTAMPS", "1", "PRICECHG", "T"}},
    {"TOBAC", "60", "Tobacco", "1", "*", "0.00", {"TOBACCO", "1", "PRICECHG", "T"}},
    {"BEER",
     "61",
     "Beer",
     "1",
     "*",
     "0.00",
     {"ALCOHOL", "1", "PRICECHG", "T", "TAGALGCAT", "DEP", "TAGALGRATE", "0.10"}},
    {"DEP", "62", "Container Deposit", "0", "*", "0.10", {}},
    {"CPN", "70", "Store Coupon", "0", "*", "1.00", {"PRICESIGN", "N", "PRICECHG", "T"}},
    {"ICE", "71", "Bag of Ice", "1", "*", "2.49", {"SECRETUNIT", "1.99"}},  // Esc: member price
    {"CLR",
     "72",
     "Clearance",
     "1",
     "*",
     "20.00",
     {"MARKDOWN", "10%", "BEGINDATE", "01/01/2024", "ENDDATE", "12/31/2030"}},
    {"PROP", "73", "Propane Refill 20 lb", "1", "*", "18.99", {"INVREF", "PROP20"}},
    {"MISC",
     "99",
     "Miscellaneous",
     "1",
     "*",
     "0.00",
     {"PRICECHG", "T", "ZEROPRCCHG", "T", "NONTAXCAT", "MISCNT"}},
    {"MISCNT", "98", "Miscellaneous Non-Taxable", "0", "*", "0.00", {"PRICECHG", "T"}},
    {"OLD", "97", "Discontinued Lines", "1", "*", "0.00", {"INACTIVE", "1"}},
    {"PAID", "", "Paid on Account", "0", "*", "0.00", {}},
};

void Categories(Loader& l, DemoCounts* counts) {
  for (const char* store : {"MAIN", "WEST"}) {
    for (const Category& c : kCategories) {
      std::string auth = std::string(c.auth) == "*" ? store : c.auth;
      kvt::schema::Row row = {
          {"REFERENCE", c.ref},   {"LOCATION", store}, {"TILLCODE", c.till}, {"DESCRIPT", c.descr},
          {"TAXABLE", c.taxable}, {"FOODSTAMPS", "0"}, {"TAXAUTH", auth},    {"ARCATDEPT", c.ref},
          {"RETUNIT", c.retunit}, {"COSTUNIT", ""},    {"PRICESIGN", "P"},   {"ZEROUNITS", "F"},
          {"ENTERSALE", "T"},     {"INACTIVE", "0"},   {"TOBACCO", "0"},     {"ALCOHOL", "0"},
          {"FARMUSE", "0"},       {"TOTAMT", "0"},     {"CURQTY3", "0.000"}, {"CURDOL3", "0.00"},
          {"MTDQTY3", "0.000"},   {"MTDDOL3", "0.00"}, {"YTDQTY3", "0.000"}, {"YTDDOL3", "0.00"}};
      for (int i = 0; i < 8 && c.extra[i]; i += 2) {
        bool replaced = false;
        for (auto& [col, value] : row)
          if (col == c.extra[i]) {
            value = c.extra[i + 1];
            replaced = true;
          }
        if (!replaced) row.push_back({c.extra[i], c.extra[i + 1]});
      }
      l.Row("KVTCOM12", row);
      ++counts->categories;
    }
  }
}

// One family of items: every combination of the parts, in order.
struct Family {
  const char* prefix;    // reference prefix
  const char* category;  // sales category (CSTRCAT)
  std::vector<std::vector<const char*>> parts;
  double lo, hi;  // price range
  bool farmUse, taxable, foodStamp, tobacco, alcohol;
  const char* unitsDec;  // "" or "3T" (sold by weight)
};

std::vector<Family> Families() {
  return {
      {"FD",
       "FEED",
       {{"Prairie Gold", "Valley Mills", "Heartland"},
        {"Cattle", "Horse", "Hog", "Sheep", "Goat", "Layer", "Broiler", "Rabbit", "Calf Starter",
         "Deer Corn"},
        {"Pellets", "Textured", "Crumbles"},
        {"25 lb", "40 lb", "50 lb"}},
       8,
       32,
       true,
       false,
       false,
       false,
       false,
       ""},
      {"PF",
       "PET",
       {{"Country Pride", "Field Master"},
        {"Dog Adult", "Dog Puppy", "Dog Senior", "Cat Adult", "Cat Kitten"},
        {"5 lb", "15 lb", "40 lb"}},
       6,
       48,
       false,
       true,
       false,
       false,
       false,
       ""},
      {"SD",
       "SEED",
       {{"Corn", "Soybean", "Wheat", "Alfalfa", "Oats", "Sorghum", "Sunflower", "Pasture Mix",
         "Lawn Seed", "Clover"},
        {"Var 101", "Var 114", "Var 127", "Var 205", "Var 218", "Var 233", "Var 301", "Var 322",
         "Var 340", "Var 415", "Var 430", "Var 512", "Var 520", "Var 601", "Var 615"},
        {"1 lb", "50 lb"}},
       4,
       260,
       true,
       false,
       false,
       false,
       false,
       ""},
      {"FT",
       "FERT",
       {{"10-10-10", "13-13-13", "46-0-0", "18-46-0", "0-0-60", "20-10-10", "12-12-12", "34-0-0",
         "21-0-0", "6-24-24"},
        {"40 lb Bag", "50 lb Bag"}},
       14,
       38,
       true,
       false,
       false,
       false,
       false,
       ""},
      {"FB",
       "FERT",
       {{"10-10-10", "46-0-0", "18-46-0", "0-0-60", "21-0-0"}, {"Bulk per lb"}},
       0.3,
       0.9,
       true,
       false,
       false,
       false,
       false,
       "3T"},
      {"BT",
       "HDWR",
       {{"Hex Bolt", "Carriage Bolt", "Lag Screw", "Wood Screw", "Deck Screw", "Machine Screw"},
        {"1/4", "5/16", "3/8", "1/2"},
        {"x1", "x1-1/2", "x2", "x2-1/2", "x3", "x4", "x5", "x6"},
        {"Zinc", "Galv", "Stainless"}},
       0.15,
       2.5,
       false,
       true,
       false,
       false,
       false,
       ""},
      {"NT",
       "HDWR",
       {{"Flat Washer", "Lock Washer", "Hex Nut", "Nylon Lock Nut", "Wing Nut"},
        {"#10", "1/4", "5/16", "3/8", "7/16", "1/2", "5/8", "3/4"},
        {"Zinc", "Galv", "Stainless"}},
       0.05,
       1.2,
       false,
       true,
       false,
       false,
       false,
       ""},
      {"NL",
       "HDWR",
       {{"Common Nail", "Box Nail", "Finish Nail", "Roofing Nail", "Fence Staple", "Framing Nail"},
        {"4d", "6d", "8d", "10d", "16d", "20d"},
        {"1 lb", "5 lb", "50 lb"}},
       2,
       95,
       false,
       true,
       false,
       false,
       false,
       ""},
      {"FN",
       "FENCE",
       {{"Barbed Wire 4-pt", "Barbed Wire 2-pt", "Woven Wire 32in", "Woven Wire 47in",
         "Field Fence",      "Poly Wire",        "Electric Tape",   "Hog Panel",
         "Cattle Panel",     "T-Post 5ft",       "T-Post 6ft",      "T-Post 7ft",
         "Wood Post 4in",    "Wood Post 5in",    "Insulators 25pk", "Gate 10ft",
         "Gate 12ft",        "Gate 14ft",        "Gate 16ft",       "Fence Charger"},
        {"Standard", "Heavy Duty"}},
       3,
       320,
       true,
       true,
       false,
       false,
       false,
       ""},
      {"VT",
       "VET",
       {{"Ivermectin Pour-On", "Penicillin", "Oxytetracycline", "Fly Spray", "Wound Spray",
         "Hoof Care", "Electrolytes", "Vitamin B Complex", "Dewormer Paste", "Syringe 3cc",
         "Syringe 12cc", "Needles 18ga", "Ear Tags", "Tag Applicator", "Mineral Block",
         "Salt Block", "Protein Tub"},
        {"Small", "Medium", "Large"}},
       2,
       140,
       true,
       true,
       false,
       false,
       false,
       ""},
      {"PL",
       "PLUMB",
       {{"PVC Pipe 10ft", "PVC Elbow", "PVC Tee", "PVC Coupling", "PVC Cap", "Poly Pipe 100ft",
         "Hose Barb", "Ball Valve", "Tank Float Valve", "Hydrant Repair Kit"},
        {"1/2in", "3/4in", "1in", "1-1/4in", "1-1/2in", "2in"}},
       0.6,
       90,
       false,
       true,
       false,
       false,
       false,
       ""},
      {"TL",
       "TOOL",
       {{"Round Shovel",    "Square Shovel",     "Spade",       "Garden Hoe",    "Garden Rake",
         "Leaf Rake",       "Pitchfork",         "Manure Fork", "Claw Hammer",   "Pliers",
         "Wire Cutter",     "Fence Pliers",      "Post Driver", "Wrench Set",    "Socket Set",
         "Screwdriver Set", "Tape Measure 25ft", "Level 24in",  "Utility Knife", "Pry Bar"},
        {"Ridgeline", "Farmhand", "ProGrade"}},
       6,
       120,
       false,
       true,
       false,
       false,
       false,
       ""},
      {"CL",
       "CLOTH",
       {{"Leather Gloves", "Cotton Gloves", "Insulated Gloves", "Rubber Boots", "Work Boots",
         "Wool Socks", "Coveralls", "Canvas Jacket", "Mesh Cap", "Rain Suit"},
        {"S", "M", "L", "XL", "XXL"},
        {"Brown", "Black", "Green", "Tan"}},
       5,
       160,
       false,
       true,
       false,
       false,
       false,
       ""},
      {"LG",
       "LAWN",
       {{"Potting Soil", "Cedar Mulch", "Pine Mulch", "Topsoil", "Peat Moss", "Weed Killer",
         "Insect Killer", "Garden Hose 50ft", "Sprinkler", "Bird Seed", "Suet Cake",
         "Deer Repellent", "Grass Killer", "Rose Food", "Tomato Cage"},
        {"Small", "Medium", "Large"}},
       3,
       45,
       false,
       true,
       false,
       false,
       false,
       ""},
      {"AU",
       "AUTO",
       {{"Hydraulic Oil 5gal", "Motor Oil 15W-40", "Motor Oil 10W-30", "Grease Cartridge",
         "Oil Filter", "Air Filter", "Net Wrap", "Chain 3/8 20ft", "Chain 5/16 20ft", "Tow Strap",
         "Ratchet Strap", "PTO Shield", "Tractor Seat", "Battery 12V", "Hitch Pin"},
        {"Standard", "Heavy Duty", "Premium"}},
       4,
       190,
       true,
       true,
       false,
       false,
       false,
       ""},
      {"HH",
       "AUTO",
       {{"Hydraulic Hose"},
        {"1/4in", "3/8in", "1/2in", "3/4in"},
        {"24in", "36in", "48in", "60in", "72in", "96in"}},
       18,
       75,
       true,
       true,
       false,
       false,
       false,
       ""},
      {"VB",
       "AUTO",
       {{"V-Belt A", "V-Belt B"},
        {"20in", "22in", "24in", "26in", "28in", "30in", "32in", "34in", "36in", "38in", "40in",
         "42in", "44in", "46in", "48in", "50in", "52in", "54in", "56in", "58in", "60in", "62in",
         "64in", "66in", "68in", "70in", "72in", "74in", "76in", "78in", "80in"}},
       7,
       26,
       true,
       true,
       false,
       false,
       false,
       ""},
      {"EL",
       "ELEC",
       {{"Extension Cord", "LED Bulb", "Heat Lamp", "Heat Lamp Bulb", "Tank Heater", "Outlet",
         "Switch", "Wire 12-2", "Wire 14-2", "Conduit"},
        {"Light", "Standard", "Heavy"}},
       2,
       85,
       false,
       true,
       false,
       false,
       false,
       ""},
      {"PT",
       "PAINT",
       {{"Barn Paint Red", "Barn Paint White", "Fence Paint Black", "Primer", "Spray Paint"},
        {"Quart", "Gallon", "5 Gallon"}},
       6,
       180,
       false,
       true,
       false,
       false,
       false,
       ""},
      {"GR",
       "GROC",
       {{"Cola 12oz", "Lemon-Lime 12oz", "Bottled Water", "Sports Drink", "Coffee", "Beef Jerky",
         "Sunflower Seeds", "Candy Bar", "Potato Chips", "Crackers", "Peanuts", "Gum", "Milk Pint",
         "Sandwich"},
        {"Single", "6 Pack", "12 Pack"}},
       0.79,
       14,
       false,
       false,
       true,
       false,
       false,
       ""},
      {"TB",
       "TOBAC",
       {{"Cigarettes Regular", "Cigarettes Menthol", "Chewing Tobacco", "Snuff", "Cigars"},
        {"Plains", "Red Mesa", "Longhorn", "Cimarron"}},
       3,
       12,
       false,
       true,
       false,
       true,
       false,
       ""},
      {"BR",
       "BEER",
       {{"Lager", "Light", "IPA", "Stout"}, {"6 Pack", "12 Pack", "24 Case"}},
       7,
       30,
       false,
       true,
       false,
       false,
       true,
       ""},
  };
}

void Items(Loader& l, DemoCounts* counts) {
  Sequence seq;
  long upc = 100;
  int n = 0;
  for (const Family& f : Families()) {
    std::vector<std::size_t> at(f.parts.size(), 0);
    for (int inFamily = 1;; ++inFamily) {
      std::string descr;
      for (std::size_t i = 0; i < f.parts.size(); ++i)
        descr += (i ? " " : "") + std::string(f.parts[i][at[i]]);
      char ref[16];
      std::snprintf(ref, sizeof ref, "%s%04d", f.prefix, inFamily);
      ++n;
      double price = f.lo < 1 ? f.lo + (f.hi - f.lo) * (seq.Below(1000) / 999.0)
                              : ShelfPrice(seq.Between(f.lo, f.hi));
      double cost = price * seq.Between(0.58, 0.74);
      bool inactive = n % 97 == 0;
      l.Row("KVTINV1", {{"REFERENCE", ref},
                        {"DESCRIPT", descr.substr(0, 40)},
                        {"BARCODE", std::string(f.unitsDec).empty() ? Upc(upc++) : ""},
                        {"TAXABLE", f.taxable ? "Y" : "N"},
                        {"FARMUSE", f.farmUse ? "T" : "F"},
                        {"INACTIVE", inactive ? "T" : "F"},
                        {"UNITSDEC", f.unitsDec}});
      for (const char* loc : {"01", "02"}) {
        if (std::string(loc) == "02" && n % 10 >= 7) continue;  // the branch carries less
        char qoh[16];
        std::snprintf(qoh, sizeof qoh, "%d", seq.Below(f.lo < 1 ? 5000 : 60));
        l.Row("KVTINV2", {{"REFERENCE", ref},
                          {"LOCATION", loc},
                          {"LISTPRICE", Money(price)},
                          {"COST", Money(cost)},
                          {"QTYONHAND", qoh}});
        kvt::schema::Row pricing = {{"REFERENCE", ref},
                                    {"LOCATION", loc},
                                    {"CSTRCAT", f.category},
                                    {"FOODSTAMP", f.foodStamp ? "1" : "0"},
                                    {"TABACCO", f.tobacco ? "T" : "F"},
                                    {"ALCOHOL", f.alcohol ? "T" : "F"},
                                    {"TAX1APP", f.taxable ? "T" : "F"}};
        // Quantity breaks on bagged feed and fasteners.
        if ((std::string(f.prefix) == "FD" && descr.find("50 lb") != std::string::npos) ||
            (std::string(f.prefix) == "BT" && n % 3 == 0)) {
          pricing.push_back({"PQTY1", "10"});
          pricing.push_back({"PUPRICE1", Money(price * 0.95)});
          pricing.push_back({"PQTY2", "40"});
          pricing.push_back({"PUPRICE2", Money(price * 0.90)});
        }
        // Promotions: most current, some over, one not yet begun.
        if (n % 23 == 0) {
          bool over = n % 3 == 0;
          pricing.push_back({"BEGINDATE", over ? "03/01/2023" : "01/01/2024"});
          pricing.push_back({"ENDDATE", over ? "03/31/2023" : "12/31/2030"});
          pricing.push_back({"PPRICE1", Money(price * 0.85)});
        }
        if (n % 167 == 0) {
          pricing.push_back({"BEGINDATE", "01/01/2031"});
          pricing.push_back({"ENDDATE", "01/31/2031"});
          pricing.push_back({"PPRICE1", Money(price * 0.80)});
        }
        if (descr.find("Candy Bar") != std::string::npos) pricing.push_back({"MIXNUM", "MIX1"});
        if (descr.find("Sports Drink") != std::string::npos) pricing.push_back({"MIXNUM", "MIX2"});
        if (std::string(f.prefix) == "BR") pricing.push_back({"TAGALONG", "DEPCAN"});
        l.Row("KVTPRB1", pricing);
      }
      ++counts->items;
      // Next combination: the last part turns fastest.
      bool done = true;
      for (std::size_t i = f.parts.size(); i-- > 0;) {
        if (++at[i] < f.parts[i].size()) {
          done = false;
          break;
        }
        at[i] = 0;
      }
      if (done) break;
    }
  }
}

// Items with a role of their own at the till.
void SpecialItems(Loader& l, DemoCounts* counts) {
  struct Special {
    const char* ref;
    const char* descr;
    const char* barcode;
    const char* price;
    const char* cost;
    const char* category;
    bool taxable;
  } specials[] = {
      {"DEPCAN", "Can deposit", "", "0.10", "0.10", "DEP", false},  // tags along with beer
      {"PROP20", "Propane cylinder 20 lb", "071000000091", "18.99", "12.40", "PROP", true},
      {"TWINE9K", "Baler twine 9000 ft", "071000000092", "32.99", "24.15", "AUTO", true},  // matrix
      {"GIFTWRAP", "Gift wrap", "", "0.00", "", "MISC", true},
  };
  for (const Special& s : specials) {
    l.Row("KVTINV1", {{"REFERENCE", s.ref},
                      {"DESCRIPT", s.descr},
                      {"BARCODE", s.barcode},
                      {"TAXABLE", s.taxable ? "Y" : "N"},
                      {"FARMUSE", "F"},
                      {"INACTIVE", "F"}});
    for (const char* loc : {"01", "02"}) {
      l.Row("KVTINV2", {{"REFERENCE", s.ref},
                        {"LOCATION", loc},
                        {"LISTPRICE", s.price},
                        {"COST", s.cost},
                        {"QTYONHAND", "100"}});
      l.Row("KVTPRB1", {{"REFERENCE", s.ref},
                        {"LOCATION", loc},
                        {"CSTRCAT", s.category},
                        {"TAX1APP", s.taxable ? "T" : "F"}});
    }
    ++counts->items;
  }
  for (const char* loc : {"01", "02"})
    l.Row("KVTINV18", {{"REFERENCE", "TWINE9K"},
                       {"LOCATION", loc},
                       {"Q1", "1"},
                       {"P1", "32.99"},
                       {"Q2", "10"},
                       {"P2", "30.99"},
                       {"Q3", "40"},
                       {"P3", "28.99"}});
  l.Row("KVTPRB31", {{"REFERENCE", "MIX1"},
                     {"DESCRIPT", "Candy bars 3 for 4.00"},
                     {"BEGINDATE", "01/01/2024"},
                     {"ENDDATE", "12/31/2030"},
                     {"QUANTITY", "3"},
                     {"FORQTY", "4.00"},
                     {"AFTERQTY", ""}});
  l.Row("KVTPRB31", {{"REFERENCE", "MIX2"},
                     {"DESCRIPT", "Sports drinks 2 for 3.00"},
                     {"BEGINDATE", "01/01/2024"},
                     {"ENDDATE", "12/31/2030"},
                     {"QUANTITY", "2"},
                     {"FORQTY", "3.00"},
                     {"AFTERQTY", "1.69"}});
  // Dated prices and costs on the first feed items.
  for (const char* ref : {"FD0001", "FD0002", "FD0003"}) {
    l.Row("KVTINVRB", {{"REFERENCE", ref},
                       {"LOCATION", "01"},
                       {"STARTDATE", "01/01/2024"},
                       {"ENDDATE", "12/31/2030"},
                       {"RETAIL", "9.49"}});
    l.Row("KVTINVCB", {{"REFERENCE", ref},
                       {"LOCATION", "01"},
                       {"STARTDATE", "01/01/2024"},
                       {"ENDDATE", "12/31/2030"},
                       {"COST", "6.10"}});
  }
  // Discounts by pricing type: farms 5% on everything, dealers 10% at the
  // main store and a fixed 2.00 off each propane cylinder.
  for (const char* loc : {"01", "02"})
    l.Row("KVTINV19",
          {{"PRICETYPE", "FARM"}, {"LOCATION", loc}, {"REFERENCE", ""}, {"DISCOUNT", "5%"}});
  l.Row("KVTINV19",
        {{"PRICETYPE", "DEALER"}, {"LOCATION", "01"}, {"REFERENCE", ""}, {"DISCOUNT", "10%"}});
  l.Row(
      "KVTINV19",
      {{"PRICETYPE", "DEALER"}, {"LOCATION", "01"}, {"REFERENCE", "PROP20"}, {"DISCOUNT", "2.00"}});
  l.Row("KVTINV17", {{"UNITSDEC", "2"}, {"CONFIG10", "01"}});
}

void Customers(Loader& l, DemoCounts* counts) {
  const char* first[] = {"Alan", "Beth", "Carl", "Dora", "Earl", "Faye", "Glen", "Hazel",
                         "Ivan", "June", "Kurt", "Lena", "Milo", "Nora", "Otis", "Pearl"};
  const char* last[] = {"Miller", "Schmidt", "Johnson", "Peters",  "Wagner",
                        "Koehn",  "Unruh",   "Becker",  "Friesen", "Harms",
                        "Janzen", "Nickel",  "Regier",  "Voth",    "Wiebe"};
  const char* towns[][2] = {{"Sterling", "67579"},
                            {"Lyons", "67554"},
                            {"Nickerson", "67561"},
                            {"Alden", "67512"},
                            {"Chase", "67524"}};
  Sequence seq;
  struct Fixed {
    const char* ref;
    const char* name;
    const char* limit;
    const char* kind;  // "B" balance forward, "O" open item
  } fixed[] = {{"CASH", "Cash Customer", "", "B"},
               {"CHECK", "Check Customer", "", "B"},
               {"CCARD", "Credit Card Customer", "", "B"},
               {"FOODST", "Food Stamp Customer", "", "B"}};
  auto customer = [&](const std::string& ref, const std::string& name, const std::string& addr,
                      int town, const std::string& limit, const std::string& kind, int active,
                      const std::string& taxExempt, const std::string& phone,
                      const std::string& pricingType) {
    char recno[32];
    double r = NextNum(1, "KVTAR50", 10);
    std::snprintf(recno, sizeof recno, "%.0f", r);
    l.Row("KVTAR50", {{"REFERENCE", ref},
                      {"NAME", name},
                      {"ADDRESS1", addr},
                      {"CITY", towns[town][0]},
                      {"STATE", "KS"},
                      {"ZIPCODE", towns[town][1]},
                      {"TAXEXEMPT", taxExempt},
                      {"ISACTIVE", std::to_string(active ? 0 : 1)},
                      {"ACCTDATE", "01/15/2019"},
                      {"LMODDATE", "02/01/2024"},
                      {"PURCODES", pricingType},
                      {"RECNO", recno}});
    l.Row("KVTAR51", {{"REFERENCE", ref},
                      {"CREDITLMT", limit},
                      {"OPENBALFWD", kind},
                      {"ALLOWDISC", "1"},
                      {"NOSERCHG", "0"},
                      {"CASHONLY", "0"},
                      {"PRTSTMNT", "1"},
                      {"NOINTEREST", "0"}});
    l.Row("KVTAR52", {{"REFERENCE", ref}, {"FUELTYPE", "ALL"}});
    l.Row("KVTAR53", {{"REFERENCE", ref}});
    kvt::schema::Row history = {{"REFERENCE", ref}, {"YEAR", "CURR"}};
    for (int m = 1; m <= 12; ++m) history.push_back({"MONTH" + std::to_string(m), "0"});
    l.Row("KVTAR56", history);
    if (!phone.empty()) l.Row("KVTAR57", {{"CUSTLINK", recno}, {"TELEPHONE", phone}});
    ++counts->customers;
  };
  for (const Fixed& f : fixed) {
    customer(f.ref, f.name, "", 0, f.limit, f.kind, 1, "", "", "");
    l.Row("KVTAR54", {{"REFERENCE", f.ref}, {"CURRENT", "0.00"}});
  }
  for (int i = 0; i < 76; ++i) {
    std::string ref = std::to_string(1001 + i);
    std::string name = std::string(last[i % 15]) + ", " + first[(i * 7) % 16];
    if (i % 9 == 4) name = std::string(last[i % 15]) + " Farms";
    if (i == 11) name = "O'Brien Ranch";  // an apostrophe in a name
    if (i == 20) name = "Rice County Road Dept";
    char addr[64];
    std::snprintf(addr, sizeof addr, "%d %s Rd", 100 + seq.Below(2900), last[(i + 3) % 15]);
    std::string limit = i % 5 == 0 ? "" : Money(250.0 * (1 + seq.Below(20)));
    if (i == 7) limit = "100.00";  // a low limit for the override question
    std::string kind = i % 6 == 5 ? "O" : "B";
    char phone[16];
    std::snprintf(phone, sizeof phone, "620-555-%04d", 1000 + i * 37 % 9000);
    // Pricing types: farms buy at the farm discount, a few resellers at dealer prices.
    std::string pricingType = i % 9 == 4 ? "FARM" : (i % 25 == 6 ? "DEALER" : "");
    customer(ref, name, addr, i % 5, limit, kind, i != 30, i == 20 ? "EXEMPT-ROADS" : "",
             i % 8 == 3 ? "" : phone, pricingType);
    // Balances: about half owe something, some of it past due.
    kvt::schema::Row aging = {{"REFERENCE", ref}, {"CURRENT", "0.00"}};
    if (i % 2 == 0) {
      aging[1].second = Money(seq.Between(20, 900));
      if (i % 4 == 0) aging.push_back({"MONTH1", Money(seq.Between(10, 400))});
      if (i % 12 == 0) aging.push_back({"MONTH3", Money(seq.Between(10, 200))});
      if (i == 24) aging.push_back({"MONTH6", "5.00"});
    }
    l.Row("KVTAR54", aging);
    if (i % 10 == 1)
      l.Row("KVTAR55", {{"LINK", ref},
                        {"COMMENT", "Delivers to the north pasture; call ahead."},
                        {"COMMDATE", "06/01/2023"}});
    if (i % 15 == 2)
      l.Row("KVTAR50N", {{"LINK", ref},
                         {"COMMDATE", "01/10/2024"},
                         {"COMMENT", "Ask for the new tax exemption certificate."},
                         {"NUMCHANGE", ""}});
  }
  l.Row("KVTAR10", {{"AUTOCNUM", "1"},
                    {"DEFBALFWD", "1"},
                    {"DISPPHONE", "T"},
                    {"NEXTCNUM", "1077"},
                    {"RECNO", "1"}});
  l.Row("KVTPOS11", {{"CKACCTNUM", "40021877"},
                     {"ACCTNAME", "Harold Finch"},
                     {"DATEENT", "11/02/2023"},
                     {"REF", "Returned NSF, ck 2231"}});
  l.Row("KVTPOS99", {{"REFERENCE", "1009"}, {"CCACCOUNT", "4111111111111111"}});
}

void Configuration(Loader& l) {
  kvt::schema::Row cfg = {{"STORE", ""},
                          {"TILLREF", ""},
                          {"SLSMAN", ""},
                          {"RECNO", "1"},
                          {"STAXAUTH", "MAIN"},
                          {"UPDATEQOH", "T"},
                          {"SNDALMS", "F"},
                          {"CHANGEDATE", "T"},
                          {"VIEWCUSTBL", "T"},
                          {"REMOVETAX", "T"},
                          {"MAXCHRDEPT", "3"},
                          {"MAXQTY", "9999"},
                          {"MAXAMOUNT", "99999.99"},
                          {"NONTAXKEY", "F"},
                          {"DECFORPRC", "2"},
                          {"DISPQOH", "T"},
                          {"DISPPRICE", "T"},
                          {"ENTERSREP", "F"},
                          {"DEFSREP", "T"},
                          {"SRCHBARCD", "T"},
                          {"CHGTLLDESC", "T"},
                          {"PRMPTONQTY", "F"},
                          {"DISPRCECH", "F"},
                          {"PRMPTONAMT", "F"},
                          {"PAUSECMPLT", "F"},
                          {"PROMPTCUST", "ONLYCHGRETURNS"},
                          {"CASHCUST", "CASH"},
                          {"CHECKCUST", "CHECK"},
                          {"CCARDCUST", "CCARD"},
                          {"FSCUST", "FOODST"},
                          {"ARCUST", ""},
                          {"ADDCUST", "T"},
                          {"PSWDCUST", "F"},
                          {"PSWD", "1234"},
                          {"VALCHECKS", "T"},
                          {"PRMPTVOID", "T"},
                          {"PRMPTRET", "T"},
                          {"DEFCHGAMT", "T"},
                          {"DEFCCAMT", "T"},
                          {"TAXCHG", "T"},
                          {"CRTLMTOR", "T"},
                          {"PSWDCRTLOR", "T"},
                          {"CUSTSRCH", "T"},
                          {"ENTERDEC", "T"},
                          {"MAXTLLDISC", "25"},
                          {"CHRGCOPIES", "2"},
                          {"CCRDCOPIES", "2"},
                          {"POACOPIES", "1"},
                          {"PRNTCLSOUT", "T"},
                          {"CLSTOPRINT", "T"},
                          {"TLLREFATCO", "F"},
                          {"TLRFTOPRNT", "F"},
                          {"PRNTNOSALE", "T"},
                          {"PRMPTADREC", "T"},
                          {"CLSOUTFORM", "1"},
                          {"PRTINV", "T"},
                          {"CATTAXAUTH", "T"},
                          {"TAXEXCUST", "T"},
                          {"DEFCCTYPE", "VISA"},
                          {"TRNPSWD", "9999"},
                          {"CASHCOPIES", "1"},
                          {"CHKCOPIES", "1"},
                          {"CSRTCOPIES", "1"},
                          {"CRRTCOPIES", "2"},
                          {"FSCOPIES", "1"},
                          {"VOIDCOPIES", "1"},
                          {"NSADVSN", "F"},
                          {"CCADVSN", "F"},
                          {"VIEWCUSTCM", "T"},
                          {"CASHCHK", "T"},
                          {"PRMPTAID", "T"},
                          {"PRMPTTID", "T"},
                          {"DISPCUSTCM", "T"},
                          {"ALLOWPOACC", "T"},
                          {"SHOWSRWIN", "T"},
                          {"OPNCDCHG", "F"},
                          {"RTNPRVITM", "T"},
                          {"VOIDTAB1", "T"},
                          {"ALCAGE", "21"},
                          {"TABAGE", "21"},
                          {"PFTC", ""},
                          {"ALLOWPOAGC", "F"},
                          {"DEFGCTYPE", ""},
                          {"GCARDCUST", ""},
                          {"PRMPTGCTYP", "F"},
                          {"PRMPTGCNUM", "F"},
                          {"PRMPTGCEXP", "F"},
                          {"PRMPTGCATH", "F"},
                          {"POAGCTYP", "F"},
                          {"POAGCNUM", "F"},
                          {"POAGCEXP", "F"},
                          {"POAGCATH", "F"},
                          {"CANEXCHG", ""},
                          {"OPENCCSALE", "F"},
                          {"ALLOWCBCC", "F"},
                          {"PRMPTCCTYP", "T"},
                          {"PRMPTCCNUM", "T"},
                          {"PRMPTCCEXP", "T"},
                          {"PRMPTCCATH", "T"},
                          {"PRMPTCKNUM", "T"},
                          {"PRMPTCKACT", "F"},
                          {"PRMPTPONUM", "F"},
                          {"POACCTYP", "T"},
                          {"POACCNUM", "T"},
                          {"POACCEXP", "T"},
                          {"POACCATH", "T"},
                          {"POACKNUM", "T"},
                          {"POACKACT", "F"},
                          {"USEPRBK", "T"},
                          {"USECSTORE", "F"},
                          {"RECFORM", "1"},
                          {"INVFORM", "5"},
                          {"DISPDTL", "T"},
                          {"USEBATCHES", "T"},
                          {"BOSYSTEM", "1"},
                          {"NEXTSLNUM", "1001"},
                          {"NEXTSLLNK", "1"},
                          {"USESTNSNUM", "T"},
                          {"SHOWDUE", "T"},
                          {"POADISC", "F"},
                          {"POADISCCAT", ""},
                          {"CFGSIGN", "F"}};
  l.Row("KVTPOS10", cfg);
}

}  // namespace

bool LoadDemoStore(std::string* error, DemoCounts* counts) {
  DemoCounts local;
  if (!counts) counts = &local;
  *counts = DemoCounts{};
  if (!Create(error)) return false;
  for (const char* table : {"KVTCOM13", "KVTINV1"}) {
    kvt::sql::Result r = kvt::sql::Run(std::string("SELECT COUNT(1) AS N FROM ") + table);
    if (r.found() != kvt::sql::Found::Yes) {
      *error = r.error();
      return false;
    }
    if (r.first().Num("N") > 0) {
      *error = std::string("the database already holds ") +
               (std::string(table) == "KVTCOM13" ? "stores" : "items") +
               "; the demo store is loaded only into an empty database";
      return false;
    }
  }
  kvt::sql::Transaction tran;
  if (!tran.ok()) {
    *error = tran.error();
    return false;
  }
  Loader l;
  Stores(l, counts);
  Taxes(l);
  Categories(l, counts);
  Items(l, counts);
  SpecialItems(l, counts);
  Customers(l, counts);
  Configuration(l);
  if (!l.ok) {
    *error = l.error;
    *counts = DemoCounts{};
    return false;
  }
  if (!tran.Commit()) {
    *error = tran.error();
    *counts = DemoCounts{};
    return false;
  }
  return true;
}

}  // namespace kvt::schema
