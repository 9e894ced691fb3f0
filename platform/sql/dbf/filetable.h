// Connection 3: file tables. The database is a folder and each dBASE file in
// it is a table named by its path without the extension: "/tmp/POSFILES/ICUST"
// is /tmp/POSFILES/ICUST.DBF (found without regard to case). The statements
// served are the ones the module writes for such tables:
//   SELECT COUNT(1) FROM <table>           one row, the count of live records
//   SELECT <col>,<col>,... FROM <table>    the live records, columns by name
//   DROP TABLE <table>                     removes the .DBF and its .DBT/.CPG
// Records marked deleted are neither counted nor read.
//
// Values come back as UTF-8 text with the field's padding (leading and
// trailing blanks) dropped. A file in a single-byte code
// page (anything that is not valid UTF-8) is read as Windows-1252.
//
// Results, never exceptions: a missing or damaged table, an unknown column,
// or a statement of another shape fails with error() naming it. A file cut
// short fails at the first record it no longer holds, never with short rows.
// One object belongs to one thread.
#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "platform/base/export.h"
#include "platform/sql/query.h"

namespace kvt::sql {

class KVT_EXPORT FileQuery {
 public:
  FileQuery();
  ~FileQuery();
  FileQuery(const FileQuery&) = delete;
  FileQuery& operator=(const FileQuery&) = delete;

  // Runs one statement; false with error(). A SELECT then stands before its
  // first row. DROP TABLE of a table that is not there is a failure too.
  bool Run(std::string_view sql);
  // Moves to the next row: Yes, No after the last, Failed (error()) when
  // the file cannot be read there.
  Found Fetch();
  // The current row's value of the i-th selected column (0-based); "" out of range.
  const std::string& operator[](std::size_t i) const;
  std::size_t ColumnCount() const;
  const std::string& error() const;

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

}  // namespace kvt::sql
