// kvtpos-db: creates, upgrades and checks the point-of-sale database, and
// loads the demo store. Exit code 0 on success, 1 on failure, 2 on bad usage.
#include <sys/stat.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "platform/sql/kvtsql.h"
#include "platform/sql/kvtsqladmin.h"
#include "platform/win/folders.h"
#include "platform/win/profile.h"
#include "schema/demo.h"
#include "schema/demosales.h"
#include "schema/schema.h"
#include "tools/kvtpos-db/icust.h"

namespace {

const char* const kUsage =
    "usage: kvtpos-db init|demo|check|customers [DATABASE]\n"
    "  init    create the schema, or bring an older one up to date\n"
    "  demo    create the schema and load the demo store into an empty database\n"
    "  check   report what is damaged, missing or wrong in an existing database\n"
    "  customers  write the customers as the office's customer table CUSTOMERS/ICUST.dbf\n"
    "DATABASE (default: the settings file .\\KVTSQL.ini in this folder)\n"
    "  --ini FILE       a settings file with section \"KVTSQL Connection One\"\n"
    "  --sqlite FILE    an SQLite database file\n"
    "  --pg CONNINFO    a PostgreSQL server, as a libpq connection string\n"
    "  --schema NAME    with --pg: the schema the tables live in\n"
    "  FILE             a settings file when it ends in .ini, else an SQLite file\n";

int Fail(const std::string& message) {
  std::fprintf(stderr, "kvtpos-db: %s\n", message.c_str());
  return 1;
}

bool Exists(const std::string& path) {
  struct stat st {};
  return ::stat(kvt::ResolvePath(path).c_str(), &st) == 0;
}

bool EndsWithIni(const std::string& s) {
  if (s.size() < 4) return false;
  std::string tail = s.substr(s.size() - 4);
  for (char& c : tail) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return tail == ".ini";
}

std::string Describe(const KVTConnectionSettings& s) {
  if (s.translate == "PGSQL")
    return "PostgreSQL" + (s.schema.empty() ? std::string() : " schema " + s.schema);
  return "SQLite " + s.dataPath;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fputs(kUsage, stderr);
    return 2;
  }
  std::string command = argv[1];
  if (command == "-h" || command == "--help") {
    std::fputs(kUsage, stdout);
    return 0;
  }
  if (command != "init" && command != "demo" && command != "check" && command != "customers") {
    std::fprintf(stderr, "kvtpos-db: unknown command \"%s\"\n%s", command.c_str(), kUsage);
    return 2;
  }

  KVTConnectionSettings settings;
  std::string ini, sqlite, pg, schema;
  for (int i = 2; i < argc; ++i) {
    std::string a = argv[i];
    auto value = [&](std::string* out) {
      if (i + 1 >= argc) return false;
      *out = argv[++i];
      return true;
    };
    bool ok = true;
    if (a == "--ini")
      ok = value(&ini);
    else if (a == "--sqlite")
      ok = value(&sqlite);
    else if (a == "--pg")
      ok = value(&pg);
    else if (a == "--schema")
      ok = value(&schema);
    else if (!a.empty() && a[0] != '-')
      (EndsWithIni(a) ? ini : sqlite) = a;
    else
      ok = false;
    if (!ok) {
      std::fprintf(stderr, "kvtpos-db: bad argument \"%s\"\n%s", a.c_str(), kUsage);
      return 2;
    }
  }
  if (!pg.empty()) {
    settings.translate = "PGSQL";
    settings.connInfo = pg;
    settings.schema = schema;
  } else if (!sqlite.empty()) {
    settings.translate = "SQLITE";
    settings.dataPath = sqlite;
  } else {
    if (ini.empty()) ini = ".\\KVTSQL.ini";
    if (!Exists(ini))
      return Fail("no settings file " + ini +
                  "; name the database with --sqlite FILE, --pg CONNINFO or --ini FILE");
    if (!KVTReadConnectionSettings(ini.c_str(), &settings)) return Fail(KVTLastSqlError());
  }
  // Only init and demo make a database; check and anything else refuse a
  // missing file or schema, naming it.
  settings.create = command == "init" || command == "demo";

  if (!KVTOpenConnectionOne(settings)) return Fail(KVTLastSqlError());
  std::string where = Describe(settings);
  int rc = 0;
  std::string error;
  if (command == "init") {
    int before = kvt::schema::DatabaseVersion();
    if (!kvt::schema::Create(&error)) {
      rc = Fail("the schema was not created: " + error);
    } else if (before > 0 && before < kvt::schema::kVersion) {
      std::printf("%s: schema upgraded from version %d to %d\n", where.c_str(), before,
                  kvt::schema::kVersion);
    } else {
      std::printf("%s: schema version %d, %zu tables\n", where.c_str(), kvt::schema::kVersion,
                  kvt::schema::Tables().size());
    }
  } else if (command == "demo") {
    kvt::schema::DemoCounts counts;
    int sales = 0;
    if (!kvt::schema::LoadDemoStore(&error, &counts)) {
      rc = Fail("the demo store was not loaded: " + error);
    } else if (!kvt::schema::SaveDemoSales(&error, &sales)) {
      rc = Fail("the demo store's sales were not saved: " + error);
    } else {
      std::printf(
          "%s: demo store loaded: %d stores, %d sales categories, %d items, %d customers, %d "
          "saved sales\n",
          where.c_str(), counts.stores, counts.categories, counts.items, counts.customers, sales);
    }
  } else if (command == "customers") {
    int written = 0;
    if (!CreateFolder("CUSTOMERS", &error) || !WriteCustomerTable("CUSTOMERS/", &written, &error))
      rc = Fail("the customer table was not written: " + error);
    else
      std::printf("%s: %d customers written to CUSTOMERS/ICUST.dbf\n", where.c_str(), written);
  } else {
    // The storage first: a damaged file can look complete table by table.
    std::vector<std::string> problems;
    if (!KVTCheckIntegrity(&problems))
      problems.push_back(std::string("the database could not be checked: ") + KVTLastSqlError());
    for (std::string& p : problems) p = "damaged: " + p;
    std::vector<std::string> tables = kvt::schema::Check();
    problems.insert(problems.end(), tables.begin(), tables.end());
    for (const std::string& p : problems) std::printf("%s\n", p.c_str());
    if (problems.empty()) {
      std::printf("%s: schema version %d, all %zu tables in order\n", where.c_str(),
                  kvt::schema::kVersion, kvt::schema::Tables().size());
    } else {
      rc = Fail(std::to_string(problems.size()) + " problem" + (problems.size() == 1 ? "" : "s") +
                " in " + where);
    }
  }
  KVTCloseConnectionOne();
  return rc;
}
