// Translation of the module's SQL text for SQLite and PostgreSQL.
#include "platform/sql/dialect.h"

#include <cctype>
#include <cstring>
#include <string_view>
#include <vector>

#include "platform/base/kvtbase.h"

namespace kvt::sql {
namespace {

enum class Tok { Space, String, QuotedName, Word, Number, Param, Brace, Punct };

struct Token {
  Tok type;
  std::string text;
};

bool EqualsNoCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (std::toupper(static_cast<unsigned char>(a[i])) !=
        std::toupper(static_cast<unsigned char>(b[i])))
      return false;
  return true;
}

bool IsWordStart(char c) {
  return std::isalpha(static_cast<unsigned char>(c)) || c == '_';
}
bool IsWordChar(char c) {
  return std::isalnum(static_cast<unsigned char>(c)) || c == '_' || c == '$' || c == '#';
}

bool Tokenize(const std::string& sql, std::vector<Token>* out, std::string* error) {
  std::size_t i = 0, n = sql.size();
  while (i < n) {
    char c = sql[i];
    std::size_t start = i;
    if (std::isspace(static_cast<unsigned char>(c))) {
      while (i < n && std::isspace(static_cast<unsigned char>(sql[i]))) ++i;
      out->push_back({Tok::Space, sql.substr(start, i - start)});
    } else if (c == '\'' || c == '"') {
      // Quoted text; a doubled quote stands for itself.
      ++i;
      for (;;) {
        if (i >= n) {
          *error = "unterminated quote in SQL text";
          return false;
        }
        if (sql[i] == c) {
          if (i + 1 < n && sql[i + 1] == c) {
            i += 2;
            continue;
          }
          ++i;
          break;
        }
        ++i;
      }
      out->push_back({c == '\'' ? Tok::String : Tok::QuotedName, sql.substr(start, i - start)});
    } else if (c == '{') {
      std::size_t close = sql.find('}', i);
      if (close == std::string::npos) {
        *error = "unterminated { in SQL text";
        return false;
      }
      i = close + 1;
      out->push_back({Tok::Brace, sql.substr(start, i - start)});
    } else if (IsWordStart(c)) {
      while (i < n && IsWordChar(sql[i])) ++i;
      out->push_back({Tok::Word, sql.substr(start, i - start)});
    } else if (std::isdigit(static_cast<unsigned char>(c))) {
      while (i < n && (std::isalnum(static_cast<unsigned char>(sql[i])) || sql[i] == '.')) ++i;
      out->push_back({Tok::Number, sql.substr(start, i - start)});
    } else if (c == '?') {
      ++i;
      out->push_back({Tok::Param, "?"});
    } else {
      static const char* const two[] = {"<=", ">=", "<>", "!=", "||", "::"};
      std::string p(1, c);
      for (const char* t : two)
        if (i + 1 < n && c == t[0] && sql[i + 1] == t[1]) p = t;
      i += p.size();
      out->push_back({Tok::Punct, p});
    }
  }
  return true;
}

bool IsPunct(const Token& t, const char* p) {
  return t.type == Tok::Punct && t.text == p;
}
bool IsWord(const Token& t, const char* w) {
  return t.type == Tok::Word && EqualsNoCase(t.text, w);
}

// Index of the next / previous token that is not blank, or -1.
long NextSig(const std::vector<Token>& t, long i) {
  for (long j = i + 1; j < static_cast<long>(t.size()); ++j)
    if (t[j].type != Tok::Space) return j;
  return -1;
}
long PrevSig(const std::vector<Token>& t, long i) {
  for (long j = i - 1; j >= 0; --j)
    if (t[j].type != Tok::Space) return j;
  return -1;
}

// {MM/DD/YYYY}, {MMDDYYYY}, {d 'YYYY-MM-DD'} as a quoted ISO date; blank as NULL.
bool RewriteDateLiterals(std::vector<Token>* toks, std::string* error) {
  for (Token& t : *toks) {
    if (t.type != Tok::Brace) continue;
    std::string inner = t.text.substr(1, t.text.size() - 2);
    std::string trimmed;
    for (char c : inner)
      if (!std::isspace(static_cast<unsigned char>(c))) trimmed += c;
    if (trimmed.size() > 1 && (trimmed[0] == 'd' || trimmed[0] == 'D') && trimmed[1] == '\'') {
      trimmed = trimmed.substr(1);
      if (trimmed.size() < 2 || trimmed.back() != '\'') {
        *error = "bad date literal " + t.text;
        return false;
      }
      trimmed = trimmed.substr(1, trimmed.size() - 2);
    }
    std::string blank = trimmed;
    std::erase(blank, '/');
    std::erase(blank, '-');
    if (blank.empty()) {
      t = {Tok::Word, "NULL"};
      continue;
    }
    std::string iso;
    if (!NormalizeDate(trimmed.c_str(), &iso) || iso.empty()) {
      *error = "bad date literal " + t.text;
      return false;
    }
    t = {Tok::String, "'" + iso + "'"};
  }
  return true;
}

void RemoveDboAndNolock(std::vector<Token>* toks) {
  std::vector<Token>& t = *toks;
  for (long i = 0; i < static_cast<long>(t.size()); ++i) {
    if (IsWord(t[i], "dbo")) {
      long dot = NextSig(t, i);
      if (dot == i + 1 && IsPunct(t[dot], ".")) {
        t.erase(t.begin() + i, t.begin() + dot + 1);
        --i;
        continue;
      }
    }
    if (IsPunct(t[i], "(")) {
      long w = NextSig(t, i);
      long close = w < 0 ? -1 : NextSig(t, w);
      if (w > 0 && close > 0 && IsWord(t[w], "NOLOCK") && IsPunct(t[close], ")")) {
        long from = i;
        long with = PrevSig(t, i);
        if (with >= 0 && IsWord(t[with], "WITH")) from = with;
        // Drop the blank before it too, so "KVTCOM12 (NOLOCK) WHERE" keeps one blank.
        if (from > 0 && t[from - 1].type == Tok::Space) --from;
        t.erase(t.begin() + from, t.begin() + close + 1);
        i = from - 1;
      }
    }
  }
}

void RewriteTextPlus(std::vector<Token>* toks) {
  std::vector<Token>& t = *toks;
  for (long i = 0; i < static_cast<long>(t.size()); ++i) {
    if (!IsPunct(t[i], "+")) continue;
    long p = PrevSig(t, i), n = NextSig(t, i);
    if ((p >= 0 && t[p].type == Tok::String) || (n >= 0 && t[n].type == Tok::String))
      t[i].text = "||";
  }
}

void RewriteLeft(std::vector<Token>* toks) {
  std::vector<Token>& t = *toks;
  for (long i = 0; i < static_cast<long>(t.size()); ++i) {
    if (!IsWord(t[i], "LEFT")) continue;
    long n = NextSig(t, i);
    long p = PrevSig(t, i);
    bool qualified = p >= 0 && IsPunct(t[p], ".");
    if (n >= 0 && IsPunct(t[n], "(") && !qualified) t[i].text = "KVTLEFT";
  }
}

// A read that locks its rows: on SQLite the writer already holds the whole
// database from its BEGIN IMMEDIATE, so the clause goes.
void RemoveForUpdate(std::vector<Token>* toks) {
  std::vector<Token>& t = *toks;
  long last = static_cast<long>(t.size()) - 1;
  while (last >= 0 && (t[last].type == Tok::Space || IsPunct(t[last], ";"))) --last;
  long update = last;
  long forWord = update < 0 ? -1 : PrevSig(t, update);
  if (forWord < 0 || !IsWord(t[update], "UPDATE") || !IsWord(t[forWord], "FOR")) return;
  long from = forWord;
  if (from > 0 && t[from - 1].type == Tok::Space) --from;
  t.erase(t.begin() + from, t.begin() + update + 1);
}

// A table's lock, as a queue for writers: on SQLite the writer holds the
// whole file from its BEGIN IMMEDIATE, so only the table's name is checked.
void ReplaceLockTable(std::vector<Token>* toks) {
  std::vector<Token>& t = *toks;
  long lock = NextSig(t, -1), table = lock < 0 ? -1 : NextSig(t, lock);
  long name = table < 0 ? -1 : NextSig(t, table);
  if (name < 0 || !IsWord(t[lock], "LOCK") || !IsWord(t[table], "TABLE") ||
      t[name].type == Tok::Punct)
    return;
  std::vector<Token> check = {{Tok::Word, "SELECT 1 FROM "}, t[name], {Tok::Word, " WHERE 1 = 0"}};
  t.swap(check);
}

// Parenthesis depth of every token (the depth inside which it stands).
std::vector<int> Depths(const std::vector<Token>& t) {
  std::vector<int> d(t.size());
  int depth = 0;
  for (std::size_t i = 0; i < t.size(); ++i) {
    if (IsPunct(t[i], ")")) --depth;
    d[i] = depth;
    if (IsPunct(t[i], "(")) ++depth;
  }
  return d;
}

// The end (exclusive) of the clause level that starts at `from`: the closing
// parenthesis of its level, or the end of the text.
long LevelEnd(const std::vector<Token>& t, const std::vector<int>& d, long from) {
  for (long j = from; j < static_cast<long>(t.size()); ++j)
    if (d[j] < d[from]) return j;
  return static_cast<long>(t.size());
}

bool IsAggregate(const Token& t) {
  return IsWord(t, "COUNT") || IsWord(t, "SUM") || IsWord(t, "MIN") || IsWord(t, "MAX") ||
         IsWord(t, "AVG");
}

// SELECT COUNT(1), REFERENCE FROM ... without GROUP BY: the bare column
// becomes MIN(REFERENCE), which every database accepts.
void WrapBareColumnsBesideAggregates(std::vector<Token>* toks) {
  std::vector<Token>& t = *toks;
  for (long i = 0; i < static_cast<long>(t.size()); ++i) {
    if (!IsWord(t[i], "SELECT")) continue;
    std::vector<int> d = Depths(t);
    long end = LevelEnd(t, d, i);
    long from = -1;
    bool grouped = false;
    for (long j = i + 1; j < end; ++j) {
      if (d[j] != d[i]) continue;
      if (from < 0 && IsWord(t[j], "FROM")) from = j;
      if (from >= 0 && IsWord(t[j], "GROUP")) grouped = true;
    }
    if (from < 0 || grouped) continue;
    // The select items, split at the commas of this level.
    std::vector<std::pair<long, long>> items;
    long itemStart = i + 1;
    bool aggregate = false;
    for (long j = i + 1; j <= from; ++j) {
      if (j == from || (d[j] == d[i] && IsPunct(t[j], ","))) {
        items.push_back({itemStart, j});
        itemStart = j + 1;
      } else if (IsAggregate(t[j])) {
        long n = NextSig(t, j);
        if (n >= 0 && IsPunct(t[n], "(")) aggregate = true;
      }
    }
    if (!aggregate) continue;
    // Back to front, so earlier positions stay valid while inserting.
    for (auto it = items.rbegin(); it != items.rend(); ++it) {
      std::vector<long> sig;
      for (long j = it->first; j < it->second; ++j)
        if (t[j].type != Tok::Space) sig.push_back(j);
      bool bare = false;
      if (sig.size() == 1 && t[sig[0]].type == Tok::Word && !IsWord(t[sig[0]], "NULL") &&
          !IsWord(t[sig[0]], "DISTINCT"))
        bare = true;
      if (sig.size() == 3 && t[sig[0]].type == Tok::Word && IsPunct(t[sig[1]], ".") &&
          t[sig[2]].type == Tok::Word)
        bare = true;
      if (!bare) continue;
      t.insert(t.begin() + sig.back() + 1, Token{Tok::Punct, ")"});
      t.insert(t.begin() + sig.front(), Token{Tok::Punct, "("});
      t.insert(t.begin() + sig.front(), Token{Tok::Word, "MIN"});
    }
  }
}

// PostgreSQL sorts NULL last in ascending order; the module expects it first.
void NullsLowest(std::vector<Token>* toks) {
  std::vector<Token>& t = *toks;
  for (long i = 0; i < static_cast<long>(t.size()); ++i) {
    if (!IsWord(t[i], "ORDER")) continue;
    long by = NextSig(t, i);
    if (by < 0 || !IsWord(t[by], "BY")) continue;
    std::vector<int> d = Depths(t);
    long end = LevelEnd(t, d, i);
    for (long j = by + 1; j < end; ++j) {
      if (d[j] == d[i] && (IsWord(t[j], "LIMIT") || IsWord(t[j], "OFFSET") || IsWord(t[j], "FOR") ||
                           IsWord(t[j], "FETCH") || IsPunct(t[j], ";"))) {
        end = j;
        break;
      }
    }
    std::vector<std::pair<long, long>> items;
    long itemStart = by + 1;
    for (long j = by + 1; j <= end; ++j) {
      if (j == end || (d[j] == d[i] && IsPunct(t[j], ","))) {
        items.push_back({itemStart, j});
        itemStart = j + 1;
      }
    }
    for (auto it = items.rbegin(); it != items.rend(); ++it) {
      long last = PrevSig(t, it->second);
      if (last < it->first) continue;
      bool hasNulls = false;
      for (long j = it->first; j < it->second; ++j)
        if (IsWord(t[j], "NULLS")) hasNulls = true;
      if (hasNulls) continue;
      const char* add = IsWord(t[last], "DESC") ? "NULLS LAST" : "NULLS FIRST";
      t.insert(t.begin() + last + 1, Token{Tok::Word, add});
      t.insert(t.begin() + last + 1, Token{Tok::Space, " "});
    }
    i = by;
  }
}

int NumberPlaceholders(std::vector<Token>* toks, bool dollar) {
  int n = 0;
  for (Token& t : *toks) {
    if (t.type != Tok::Param) continue;
    ++n;
    if (dollar) t.text = "$" + std::to_string(n);
  }
  return n;
}

bool IsBlank(char c) {
  return std::isspace(static_cast<unsigned char>(c)) != 0;
}

// Length of the number at p: [-+]? (digits [. digits*] | . digits), 0 when none.
std::size_t NumberPrefix(const char* p) {
  const char* s = p;
  if (*s == '-' || *s == '+') ++s;
  const char* digits = s;
  while (std::isdigit(static_cast<unsigned char>(*s))) ++s;
  bool whole = s > digits;
  if (*s == '.') {
    const char* frac = s + 1;
    const char* e = frac;
    while (std::isdigit(static_cast<unsigned char>(*e))) ++e;
    if (whole || e > frac) s = e;
  }
  if (!whole && (s == digits || s == digits + 1)) return 0;
  return static_cast<std::size_t>(s - p);
}

}  // namespace

bool TranslateSql(DbKind kind, const std::string& sql, Translation* out, std::string* error) {
  std::vector<Token> toks;
  std::string err;
  if (!Tokenize(sql, &toks, &err) || !RewriteDateLiterals(&toks, &err)) {
    if (error) *error = err;
    return false;
  }
  RemoveDboAndNolock(&toks);
  RewriteTextPlus(&toks);
  if (kind == DbKind::SQLite) {
    RewriteLeft(&toks);
    RemoveForUpdate(&toks);
    ReplaceLockTable(&toks);
  }
  WrapBareColumnsBesideAggregates(&toks);
  if (kind == DbKind::PostgreSQL) NullsLowest(&toks);
  out->placeholders = NumberPlaceholders(&toks, kind == DbKind::PostgreSQL);
  out->sql.clear();
  for (const Token& t : toks) out->sql += t.text;
  return true;
}

double NumVal(const char* text) {
  if (!text) return 0;
  while (IsBlank(*text)) ++text;
  std::size_t len = NumberPrefix(text);
  if (len == 0) return 0;
  return std::strtod(std::string(text, len).c_str(), nullptr);
}

std::optional<std::string> Str(double x, int length, int decimals) {
  if (length < 1 || length > 8000 || decimals < 0) return std::nullopt;
  if (decimals > 16) decimals = 16;
  // 15 significant digits, as the database's conversion to a decimal makes.
  char buf[64];
  std::snprintf(buf, sizeof buf, "%.14e", x < 0 ? -x : x);
  if (!std::isdigit(static_cast<unsigned char>(buf[0]))) return std::string(length, '*');
  std::string mant;
  const char* p = buf;
  for (; *p && *p != 'e'; ++p)
    if (std::isdigit(static_cast<unsigned char>(*p))) mant += *p;
  int exp = std::atoi(p + 1);
  bool negative = x < 0;
  for (int d = decimals; d >= 0; --d) {
    // Digits of the value with d decimals: the whole part has exp+1 digits.
    int keep = exp + 1 + d;  // digits of mant kept
    std::string digits;
    if (keep <= 0) {
      // Everything is below the last kept decimal: 0, or 1 unit when it rounds up.
      bool up = keep == 0 && mant[0] >= '5';
      digits = up ? "1" : "0";
    } else {
      std::string m = mant;
      if (static_cast<int>(m.size()) < keep) m.append(keep - m.size(), '0');
      bool up = static_cast<int>(m.size()) > keep && m[keep] >= '5';
      digits = m.substr(0, keep);
      if (up) {
        int k = static_cast<int>(digits.size()) - 1;
        while (k >= 0 && digits[k] == '9') digits[k--] = '0';
        if (k < 0)
          digits.insert(digits.begin(), '1');
        else
          ++digits[k];
      }
    }
    // digits holds the value times 10^d.
    if (static_cast<int>(digits.size()) <= d) digits.insert(0, d + 1 - digits.size(), '0');
    std::string whole = digits.substr(0, digits.size() - d);
    std::size_t nz = whole.find_first_not_of('0');
    whole = nz == std::string::npos ? "0" : whole.substr(nz);
    std::string text = whole;
    if (d > 0) text += "." + digits.substr(digits.size() - d);
    bool zero = digits.find_first_not_of('0') == std::string::npos;
    if (negative && !zero) text = "-" + text;
    if (static_cast<int>(text.size()) <= length)
      return std::string(length - text.size(), ' ') + text;
  }
  return std::string(length, '*');
}

const char* PgFunctionsSql() {
  return R"SQL(
CREATE OR REPLACE FUNCTION numval(t text) RETURNS double precision
LANGUAGE sql IMMUTABLE AS
$f$ SELECT COALESCE(substring(t FROM '^\s*([-+]?(?:[0-9]+\.?[0-9]*|\.[0-9]+))')::double precision, 0) $f$;

CREATE OR REPLACE FUNCTION numval(x double precision) RETURNS double precision
LANGUAGE sql IMMUTABLE AS $f$ SELECT COALESCE(x, 0) $f$;

CREATE OR REPLACE FUNCTION str(x double precision, width integer DEFAULT 10,
                               places integer DEFAULT 0)
RETURNS text LANGUAGE plpgsql IMMUTABLE AS
$f$
DECLARE
  n numeric;
  s text;
  d integer;
BEGIN
  IF x IS NULL OR width IS NULL OR places IS NULL OR width < 1 OR width > 8000 OR places < 0 THEN
    RETURN NULL;
  END IF;
  IF x = 'Infinity'::float8 OR x = '-Infinity'::float8 OR x = 'NaN'::float8 THEN
    RETURN repeat('*', width);
  END IF;
  n := x::numeric;
  d := LEAST(places, 16);
  LOOP
    s := round(n, d)::text;
    IF length(s) <= width THEN
      RETURN lpad(s, width);
    END IF;
    EXIT WHEN d = 0;
    d := d - 1;
  END LOOP;
  RETURN repeat('*', width);
END
$f$;

CREATE OR REPLACE FUNCTION str(t text, width integer DEFAULT 10, places integer DEFAULT 0)
RETURNS text LANGUAGE sql IMMUTABLE AS
$f$ SELECT CASE WHEN t IS NULL THEN NULL ELSE str(numval(t), width, places) END $f$;
)SQL";
}

bool NormalizeNumber(const char* text, std::string* out) {
  std::string s = text ? text : "";
  std::size_t b = 0, e = s.size();
  while (b < e && IsBlank(s[b])) ++b;
  while (e > b && IsBlank(s[e - 1])) --e;
  s = s.substr(b, e - b);
  if (s.empty()) {
    out->clear();
    return true;
  }
  std::size_t len = NumberPrefix(s.c_str());
  if (len == 0) return false;
  if (len < s.size()) {
    // An exponent may follow: e, sign, digits.
    std::size_t k = len;
    if (s[k] != 'e' && s[k] != 'E') return false;
    ++k;
    if (k < s.size() && (s[k] == '+' || s[k] == '-')) ++k;
    std::size_t digits = k;
    while (k < s.size() && std::isdigit(static_cast<unsigned char>(s[k]))) ++k;
    if (k == digits || k != s.size()) return false;
  }
  *out = s;
  return true;
}

bool NormalizeDate(const char* text, std::string* iso) {
  std::string s;
  for (const char* p = text ? text : ""; *p; ++p)
    if (!IsBlank(*p)) s += *p;
  if (s.empty()) {
    iso->clear();
    return true;
  }
  int y = 0, m = 0, d = 0;
  char tail = 0;
  if (s.size() == 10 && s[4] == '-' && s[7] == '-' &&
      std::sscanf(s.c_str(), "%4d-%2d-%2d%c", &y, &m, &d, &tail) == 3) {
  } else if (s.find('/') != std::string::npos &&
             std::sscanf(s.c_str(), "%2d/%2d/%4d%c", &m, &d, &y, &tail) == 3 && s.size() >= 8 &&
             s.substr(s.rfind('/') + 1).size() == 4) {
  } else if (s.size() == 8 && s.find_first_not_of("0123456789") == std::string::npos) {
    m = std::atoi(s.substr(0, 2).c_str());
    d = std::atoi(s.substr(2, 2).c_str());
    y = std::atoi(s.substr(4, 4).c_str());
  } else {
    return false;
  }
  if (!KVTValidDate(y, m, d)) return false;
  char buf[16];
  std::snprintf(buf, sizeof buf, "%04d-%02d-%02d", y, m, d);
  *iso = buf;
  return true;
}

std::string IsoToDisplayDate(const std::string& iso) {
  if (iso.size() < 10 || iso[4] != '-' || iso[7] != '-') return iso;
  for (int i : {0, 1, 2, 3, 5, 6, 8, 9})
    if (!std::isdigit(static_cast<unsigned char>(iso[i]))) return iso;
  if (iso.size() > 10 && iso[10] != ' ' && iso[10] != 'T') return iso;
  return iso.substr(5, 2) + "/" + iso.substr(8, 2) + "/" + iso.substr(0, 4);
}

std::string FormatDouble(double value) {
  if (value == 0) return "0";
  char buf[40];
  // The shortest of 15, 16 or 17 significant digits that reads back exactly.
  for (int precision = 15; precision <= 17; ++precision) {
    std::snprintf(buf, sizeof buf, "%.*g", precision, value);
    if (std::strtod(buf, nullptr) == value) break;
  }
  return buf;
}

bool IsSqlName(const std::string& name) {
  if (name.empty() || !IsWordStart(name[0])) return false;
  for (char c : name)
    if (!std::isalnum(static_cast<unsigned char>(c)) && c != '_') return false;
  return true;
}

}  // namespace kvt::sql
