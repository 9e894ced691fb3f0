// The customers of connection 1 written as the office's customer table:
// `folder`ICUST.dbf, one row per KVTAR50 customer with its aging (KVTAR54),
// terms (KVTAR51), telephone (KVTAR57) and comment (KVTAR55) in the columns
// the customer import reads. False with *error when a read or a write failed.
#pragma once

#include <string>

bool WriteCustomerTable(const std::string& folder, int* written, std::string* error);
