// The demo store: a farm-supply business with two stores, loaded into an
// empty database on connection 1. Always the same rows (no clock, no
// randomness beyond a fixed sequence), so scripts and screenshots repeat.
#pragma once

#include <string>

namespace kvt::schema {

struct DemoCounts {
  int stores = 0;
  int categories = 0;  // sales categories of both stores
  int items = 0;
  int customers = 0;
};

// Creates or upgrades the schema, then loads the demo store in one
// transaction. Refuses (false, nothing changed) a database that already has
// stores or items.
bool LoadDemoStore(std::string* error, DemoCounts* counts = nullptr);

}  // namespace kvt::schema
