// Reading the table list, creating and upgrading the schema, checking it.
#include "schema/schema.h"

#include <cctype>
#include <map>
#include <sstream>

#include "platform/sql/kvtsql.h"
#include "platform/sql/query.h"

namespace kvt::schema {

extern const char* const kTablesText;  // tables.txt, built in (tables_data.cpp)

namespace {

std::string Upper(std::string s) {
  for (char& c : s) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return s;
}

bool ParseType(const std::string& t, KVTColumnType* out) {
  if (t == "text")
    *out = KVTColumnType::Text;
  else if (t == "double")
    *out = KVTColumnType::Double;
  else if (t == "integer")
    *out = KVTColumnType::Integer;
  else if (t == "date")
    *out = KVTColumnType::Date;
  else
    return false;
  return true;
}

// The list is part of the program; a mistake in it is a build mistake, so
// parsing stops the program with the line at fault.
std::vector<Table> Parse(const char* text) {
  std::vector<Table> tables;
  std::istringstream in(text);
  std::string line;
  int number = 0;
  auto fail = [&](const std::string& why) {
    std::fprintf(stderr, "schema/tables.txt line %d: %s\n", number, why.c_str());
    std::abort();
  };
  while (std::getline(in, line)) {
    ++number;
    std::size_t hash = line.find('#');
    if (hash != std::string::npos) line.resize(hash);
    std::istringstream words(line);
    std::string first;
    if (!(words >> first)) continue;
    if (first == "table") {
      Table t;
      if (!(words >> t.name)) fail("a table needs a name");
      std::getline(words, t.about);
      std::size_t b = t.about.find_first_not_of(' ');
      t.about = b == std::string::npos ? "" : t.about.substr(b);
      tables.push_back(t);
      continue;
    }
    if (tables.empty()) fail("columns before the first table");
    Table& t = tables.back();
    if (first == "index") {
      Index ix;
      std::string c;
      while (words >> c) ix.columns.push_back(c);
      if (ix.columns.empty()) fail("an index needs columns");
      t.indexes.push_back(ix);
    } else if (first == "key") {
      if (!(words >> t.primaryKey)) fail("a key needs a column");
    } else {
      std::string word = first;
      do {
        KVTColumnDef col;
        std::size_t colon = word.find(':');
        col.name = word.substr(0, colon);
        if (colon != std::string::npos && !ParseType(word.substr(colon + 1), &col.type))
          fail("unknown type in " + word);
        if (t.Column(col.name)) fail("column " + col.name + " twice in " + t.name);
        t.columns.push_back(col);
      } while (words >> word);
    }
  }
  for (Table& t : tables)
    if (t.Column("RECNO")) t.indexes.insert(t.indexes.begin(), Index{{"RECNO"}, true});
  return tables;
}

std::string IndexName(const Table& t, const Index& ix) {
  std::string name = t.name;
  for (const std::string& c : ix.columns) name += "_" + c;
  return name;
}

std::string IndexSql(const Table& t, const Index& ix) {
  std::string cols;
  for (const std::string& c : ix.columns) cols += (cols.empty() ? "" : ", ") + c;
  return std::string("CREATE ") + (ix.unique ? "UNIQUE " : "") + "INDEX IF NOT EXISTS " +
         IndexName(t, ix) + " ON " + t.name + " (" + cols + ")";
}

bool Exec(const std::string& sql, std::string* error,
          std::initializer_list<kvt::sql::Value> values = {}) {
  kvt::sql::Result r = kvt::sql::Run(sql, values);
  if (!r.ok()) *error = r.error();
  return r.ok();
}

// Adds to one table what the list has and the database lacks.
bool Bring(const Table& t, std::string* error) {
  if (!KVTTableExists(t.name.c_str()))
    return Exec(KVTCreateTableSql(t.name, t.columns, t.primaryKey), error);
  std::vector<KVTColumnDef> have;
  if (!KVTDescribeTable(t.name.c_str(), &have)) {
    *error = KVTLastSqlError();
    return false;
  }
  for (const KVTColumnDef& want : t.columns) {
    const KVTColumnDef* found = nullptr;
    for (const KVTColumnDef& h : have)
      if (h.name == Upper(want.name)) found = &h;
    if (!found) {
      if (!Exec("ALTER TABLE " + t.name + " ADD COLUMN " + want.name + " " +
                    KVTColumnTypeSql(want.type),
                error))
        return false;
    } else if (found->type != want.type) {
      *error = "column " + t.name + "." + want.name + " is " + KVTColumnTypeName(found->type) +
               " in the database, the schema has it " + KVTColumnTypeName(want.type) +
               "; change it by hand";
      return false;
    }
  }
  return true;
}

}  // namespace

const KVTColumnDef* Table::Column(const std::string& name) const {
  std::string want = Upper(name);
  for (const KVTColumnDef& c : columns)
    if (Upper(c.name) == want) return &c;
  return nullptr;
}

const std::vector<Table>& Tables() {
  static const std::vector<Table> tables = Parse(kTablesText);
  return tables;
}

const Table* FindTable(const std::string& name) {
  std::string want = Upper(name);
  for (const Table& t : Tables())
    if (Upper(t.name) == want) return &t;
  return nullptr;
}

int DatabaseVersion() {
  if (!KVTConnectionOneIsOpen()) return -1;
  if (!KVTTableExists("KVTSCHEMA")) return 0;
  kvt::sql::Result r = kvt::sql::Run("SELECT VERSION FROM KVTSCHEMA WHERE NAME = 'kvtpos'");
  switch (r.found()) {
    case kvt::sql::Found::Yes:
      return static_cast<int>(r.first().Num("VERSION"));
    case kvt::sql::Found::No:
      return 0;
    case kvt::sql::Found::Failed:
      break;
  }
  return -1;
}

bool Create(std::string* error) {
  if (!KVTConnectionOneIsOpen()) {
    *error = "connection 1 is not open";
    return false;
  }
  int version = DatabaseVersion();
  if (version < 0) {
    *error = std::string("cannot read the schema version: ") + KVTLastSqlError();
    return false;
  }
  if (version > kVersion) {
    *error = "the database has schema version " + std::to_string(version) +
             ", newer than this program's " + std::to_string(kVersion) +
             "; use the kvtpos-db that made it";
    return false;
  }
  kvt::sql::Transaction tran;
  if (!tran.ok()) {
    *error = tran.error();
    return false;
  }
  for (const Table& t : Tables()) {
    bool ok = Bring(t, error);
    for (std::size_t i = 0; ok && i < t.indexes.size(); ++i)
      ok = Exec(IndexSql(t, t.indexes[i]), error);
    if (!ok) {
      *error = "table " + t.name + ": " + *error;
      return false;
    }
  }
  if (!KVTInstallSqlFunctions()) {
    *error = KVTLastSqlError();
    return false;
  }
  if (!Exec("DELETE FROM KVTSCHEMA WHERE NAME = 'kvtpos'", error) ||
      !Exec("INSERT INTO KVTSCHEMA (NAME, VERSION) VALUES ('kvtpos', ?)", error,
            {kvt::sql::Number(kVersion)}))
    return false;
  if (!tran.Commit()) {
    *error = tran.error();
    return false;
  }
  return true;
}

std::vector<std::string> Check() {
  std::vector<std::string> problems;
  if (!KVTConnectionOneIsOpen()) return {"connection 1 is not open"};
  int version = DatabaseVersion();
  if (version == 0)
    problems.push_back("no schema version is recorded (kvtpos-db init creates the schema)");
  else if (version != kVersion)
    problems.push_back("schema version " + std::to_string(version) + ", this program expects " +
                       std::to_string(kVersion) +
                       (version < kVersion ? " (kvtpos-db init upgrades it)" : ""));
  for (const Table& t : Tables()) {
    if (!KVTTableExists(t.name.c_str())) {
      problems.push_back("table " + t.name + " is missing");
      continue;
    }
    std::vector<KVTColumnDef> have;
    KVTDescribeTable(t.name.c_str(), &have);
    for (const KVTColumnDef& want : t.columns) {
      const KVTColumnDef* found = nullptr;
      for (const KVTColumnDef& h : have)
        if (h.name == Upper(want.name)) found = &h;
      if (!found)
        problems.push_back("column " + t.name + "." + want.name + " is missing");
      else if (found->type != want.type)
        problems.push_back("column " + t.name + "." + want.name + " is " +
                           KVTColumnTypeName(found->type) + ", should be " +
                           KVTColumnTypeName(want.type));
    }
    for (const Index& ix : t.indexes)
      if (!KVTIndexExists(IndexName(t, ix).c_str()))
        problems.push_back("index " + IndexName(t, ix) + " is missing");
  }
  if (!KVTSqlFunctionsWork())
    problems.push_back("the database functions NUMVAL, STR or LEFT do not work: " +
                       std::string(KVTLastSqlError()));
  return problems;
}

// ---- RowWriter ------------------------------------------------------------------

struct RowWriter::Impl {
  std::map<std::string, kvt::sql::Query> statements;  // by table and column set
};

RowWriter::RowWriter() : impl_(new Impl) {}
RowWriter::~RowWriter() {
  delete impl_;
}

bool RowWriter::Insert(const std::string& tableName, const Row& given) {
  const Table* t = FindTable(tableName);
  if (!t) {
    error_ = "table " + tableName + " is not in the schema";
    return false;
  }
  Row row = given;
  bool hasRecno = false;
  for (auto& [col, value] : row) {
    const KVTColumnDef* c = t->Column(col);
    if (!c) {
      error_ = "column " + col + " is not in table " + t->name;
      return false;
    }
    col = c->name;
    hasRecno = hasRecno || col == "RECNO";
  }
  if (!hasRecno && t->Column("RECNO")) {
    double recno = NextNum(1, t->name.c_str(), 100);
    if (recno <= 0) {
      error_ = KVTLastSqlError();
      return false;
    }
    char buf[32];
    std::snprintf(buf, sizeof buf, "%.0f", recno);
    row.push_back({"RECNO", buf});
  }
  std::string key = t->name;
  for (const auto& [col, value] : row) key += "|" + col;
  auto insert = impl_->statements.find(key);
  if (insert == impl_->statements.end()) {
    std::string cols, marks;
    for (const auto& [col, value] : row) {
      cols += (cols.empty() ? "" : ",") + col;
      marks += marks.empty() ? "?" : ",?";
    }
    insert = impl_->statements
                 .emplace(key, "INSERT INTO " + t->name + " (" + cols + ") VALUES (" + marks + ")")
                 .first;
  }
  std::vector<kvt::sql::Value> values;
  for (const auto& [col, value] : row) {
    KVTColumnType type = t->Column(col)->type;
    values.push_back(type == KVTColumnType::Date   ? kvt::sql::Date(value)
                     : type == KVTColumnType::Text ? kvt::sql::Text(value)
                                                   : kvt::sql::Number(value));
  }
  kvt::sql::Result r = insert->second.Run(values);
  if (!r.ok()) error_ = t->name + ": " + r.error();
  return r.ok();
}

}  // namespace kvt::schema
