// The one place where the module's SQL meets the databases' own dialects.
//
// The module writes SQL Server flavoured text. TranslateSql turns it into
// text the backend runs:
//   {MM/DD/YYYY}, {d 'YYYY-MM-DD'}   -> 'YYYY-MM-DD' (a blank date -> NULL)
//   dbo.X                            -> X
//   table (NOLOCK), WITH (NOLOCK)    -> table
//   a + 'text', 'text' + b           -> a || 'text', 'text' || b
//   LEFT(x, n)                       -> KVTLEFT(x, n) on SQLite (LEFT is a join word there)
//   SELECT ... FOR UPDATE            -> SELECT ... on SQLite (its writer holds the whole file)
//   SELECT COUNT(1),REFERENCE FROM t -> SELECT COUNT(1),MIN(REFERENCE) FROM t
//                                       (a bare column beside an aggregate, no GROUP BY)
//   ORDER BY a, b DESC               -> ORDER BY a NULLS FIRST, b DESC NULLS LAST on
//                                       PostgreSQL (NULL sorts lowest, as elsewhere)
//   ?                                -> $1, $2, ... on PostgreSQL
// NUMVAL, STR, LTRIM and TRIM are functions of the database: registered on
// SQLite (below, NumVal and Str) and created in the PostgreSQL schema
// (PgFunctionsSql); both compute the same results.
#pragma once

#include <optional>
#include <string>

#include "platform/base/export.h"

namespace kvt::sql {

enum class DbKind { SQLite, PostgreSQL };

struct Translation {
  std::string sql;
  int placeholders = 0;  // the "?" of the original text
};

// False, with the reason in *error, for text that cannot be translated (a date
// literal that is not a date, an unterminated quote).
KVT_EXPORT bool TranslateSql(DbKind kind, const std::string& sql, Translation* out,
                             std::string* error);

// NUMVAL(text): the number at the start of the text after blanks (an optional
// sign, digits with an optional decimal point); 0 when there is none or the
// text is NULL. "12.500" -> 12.5, " -3.25kg" -> -3.25, "VOID" -> 0, "1,234" -> 1.
KVT_EXPORT double NumVal(const char* text);

// STR(x, length, decimals) with SQL Server's rules: x rounded half away from
// zero to `decimals` places (at most 16), right-aligned in `length` characters
// (default 10, no decimals); when it does not fit, fewer decimals; when the
// whole part does not fit, `length` asterisks. x is taken to 15 significant
// digits first, as the database does. nullopt (NULL) for a length below 1 or
// above 8000 or negative decimals.
//   Str(12.5) -> "        13", Str(14.5, 15, 3) -> "         14.500",
//   Str(1234.5678, 6, 2) -> "1234.6", Str(123456, 3) -> "***"
KVT_EXPORT std::optional<std::string> Str(double x, int length = 10, int decimals = 0);

// The functions NUMVAL and STR for the current PostgreSQL schema
// (CREATE OR REPLACE, so running it again is harmless).
KVT_EXPORT const char* PgFunctionsSql();

// Bind values. A number (bind type 2): blanks trimmed; true with *out empty
// for an empty text (bound as NULL); false for text that is not a number.
KVT_EXPORT bool NormalizeNumber(const char* text, std::string* out);
// A date (bind type 3) as "YYYY-MM-DD" from "MM/DD/YYYY", "M/D/YYYY",
// "MMDDYYYY" or "YYYY-MM-DD"; true with *out empty for a blank text; false for
// anything that is not a calendar day.
KVT_EXPORT bool NormalizeDate(const char* text, std::string* iso);
// "YYYY-MM-DD" (optionally followed by a time) as "MM/DD/YYYY"; other text unchanged.
KVT_EXPORT std::string IsoToDisplayDate(const std::string& iso);
// A double as the shortest text that reads back as the same value: 100, 12.5.
KVT_EXPORT std::string FormatDouble(double value);

// True for a plain table or column name (letters, digits, underscore).
KVT_EXPORT bool IsSqlName(const std::string& name);

}  // namespace kvt::sql
