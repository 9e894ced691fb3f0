// Small database helpers of the module, over connection 1.
#pragma once

#include <string>
#include <vector>

#include "platform/sql/kvtsql.h"

// Runs a SELECT and gives the first row's columns as text (columns of a null
// value are empty). False, leaving `row` as it was, when the statement fails
// or returns no row.
bool KVTQueryRow(const std::string& sql, std::vector<std::string>* row);
// A feature switch of KVTCOM20: a row present means on.
bool KVTFeatureOn(const char* feature);
