#include "host/server/import.h"

#include <sqlite3.h>

#include <fstream>
#include <map>
#include <memory>
#include <nlohmann/json.hpp>
#include <sstream>
#include <unordered_map>

#include "host/datetime.h"
#include "host/decimal.h"
#include "host/server/catalog.h"
#include "host/server/sqlite.h"
#include "host/text.h"

namespace pag {

ImportError::ImportError(std::string table, std::size_t row, std::string field, const std::string& reason)
    : std::runtime_error([&] {
        std::string m = "import refused: ";
        if (!table.empty()) m += "table " + table;
        if (row > 0) m += ", row " + std::to_string(row);
        if (!field.empty()) m += ", field " + field;
        if (!table.empty()) m += ": ";
        return m + reason;
      }()),
      table_(std::move(table)),
      row_(row),
      field_(std::move(field)),
      reason_(reason) {}

namespace {

using nlohmann::json;
using catalog::Column;
using catalog::Kind;

// A field's value ready for the store.
struct Cell {
  bool is_int = false;
  bool present = false;  // given in the file (not absent, not null)
  std::string text;
  std::int64_t number = 0;
};

// Parses "-1234.56" with at most `places` decimals into units of 10^-places.
bool ParseExact(const std::string& s, int places, std::int64_t& units) {
  std::size_t i = 0;
  bool neg = false;
  if (i < s.size() && s[i] == '-') {
    neg = true;
    ++i;
  }
  std::int64_t v = 0;
  std::size_t digits = 0;
  for (; i < s.size() && s[i] >= '0' && s[i] <= '9'; ++i, ++digits) {
    if (v > (INT64_MAX - 9) / 10) return false;
    v = v * 10 + (s[i] - '0');
  }
  if (digits == 0) return false;
  int decimals = 0;
  if (i < s.size() && s[i] == '.') {
    ++i;
    for (; i < s.size() && s[i] >= '0' && s[i] <= '9'; ++i) {
      if (++decimals > places) return false;
      v = v * 10 + (s[i] - '0');
    }
    if (decimals == 0) return false;
  }
  if (i != s.size()) return false;
  for (int k = decimals; k < places; ++k) {
    if (v > INT64_MAX / 10) return false;
    v *= 10;
  }
  units = neg ? -v : v;
  return true;
}

bool InCodes(std::string_view codes, const std::string& v) {
  std::size_t start = 0;
  while (start <= codes.size()) {
    auto end = codes.find('|', start);
    if (end == std::string_view::npos) end = codes.size();
    if (codes.substr(start, end - start) == v) return true;
    start = end + 1;
  }
  return false;
}

std::string Shown(const std::string& s) {
  return "'" + (TextLength(s) > 60 ? LeftStr(s, 60) + "..." : s) + "'";
}

class Importer {
 public:
  explicit Importer(sql::Db& db) : db_(db) {}

  ImportSummary Run(const json& doc) {
    if (!doc.is_object()) throw ImportError("", 0, "", "the file must hold one JSON object of tables");
    for (const auto& [name, value] : doc.items()) {
      if (name == "format") {
        if (!value.is_number_integer() || value.get<std::int64_t>() != 1)
          throw ImportError("", 0, "", "format must be 1 (the version of the import format)");
        continue;
      }
      if (!catalog::FindTable(name)) throw ImportError(name, 0, "", "unknown table");
      if (!value.is_array()) throw ImportError(name, 0, "", "a table must be a JSON array of rows");
    }
    ImportSummary summary;
    sql::WriteScope scope(db_);
    for (const catalog::Table& t : catalog::Tables()) {
      auto it = doc.find(std::string(t.json));
      if (it == doc.end()) continue;
      const std::size_t n = LoadTable(t, *it);
      summary.tables.emplace_back(std::string(t.json), n);
      summary.total += n;
      if (t.sql == "BOLETOPAG") LinkSlipsToRemittances();
    }
    scope.Commit();
    return summary;
  }

 private:
  std::size_t LoadTable(const catalog::Table& t, const json& rows) {
    std::string cols, marks;
    for (const Column& c : t.columns) {
      cols += (cols.empty() ? "" : ", ") + std::string(c.name);
      marks += marks.empty() ? "?" : ", ?";
    }
    sql::Stmt insert(db_, "INSERT INTO " + std::string(t.sql) + " (" + cols + ") VALUES (" + marks + ")");
    std::vector<Cell> cells(t.columns.size());
    std::size_t row_no = 0;
    for (const json& row : rows) {
      ++row_no;
      const std::string table(t.json);
      if (!row.is_object()) throw ImportError(table, row_no, "", "a row must be a JSON object");
      for (const auto& [field, v] : row.items()) {
        if (!t.Find(field)) throw ImportError(table, row_no, field, "unknown field");
      }
      for (std::size_t i = 0; i < t.columns.size(); ++i) cells[i] = ReadCell(t, t.columns[i], row, row_no);
      for (std::size_t i = 0; i < t.columns.size(); ++i) {
        const Column& c = t.columns[i];
        if (!cells[i].present && !c.default_from.empty()) {
          for (std::size_t j = 0; j < t.columns.size(); ++j)
            if (t.columns[j].name == c.default_from) cells[i].text = cells[j].text;
        }
      }
      for (const catalog::Reference& r : t.refs) CheckReference(t, r, cells, row_no);
      for (std::size_t i = 0; i < cells.size(); ++i) {
        const int p = static_cast<int>(i + 1);
        if (cells[i].is_int) {
          insert.Bind(p, cells[i].number);
        } else {
          insert.Bind(p, cells[i].text);
        }
      }
      const int rc = insert.StepCode();
      if (rc == SQLITE_CONSTRAINT_PRIMARYKEY || rc == SQLITE_CONSTRAINT_UNIQUE) DuplicateKey(t, cells, row_no);
      if (rc != SQLITE_DONE) throw ImportError(table, row_no, "", "the store refused the row");
      insert.Reset();
    }
    return row_no;
  }

  Cell ReadCell(const catalog::Table& t, const Column& c, const json& row, std::size_t row_no) {
    const std::string table(t.json), field(c.name);
    auto fail = [&](const std::string& why) { return ImportError(table, row_no, field, why); };
    Cell cell;
    cell.is_int = c.kind == Kind::kInteger || c.kind == Kind::kAmount;
    auto it = row.find(field);
    const bool given = it != row.end() && !it->is_null();
    const bool is_date = c.kind == Kind::kDate || c.kind == Kind::kDateTime;
    if (!given || (is_date && it->is_string() && it->get_ref<const std::string&>().empty())) {
      if (c.required) throw fail("required field missing");
      cell.text = c.kind == Kind::kPercent ? "0" : std::string(c.default_value);
      return cell;
    }
    const json& v = *it;
    cell.present = true;
    switch (c.kind) {
      case Kind::kText:
      case Kind::kCode:
      case Kind::kDigits: {
        if (!v.is_string()) throw fail("must be a JSON string");
        const auto& s = v.get_ref<const std::string&>();
        if (static_cast<int>(TextLength(s)) > c.size)
          throw fail("value " + Shown(s) + " is longer than " + std::to_string(c.size) + " characters");
        if (c.required && EmptyString(s)) throw fail("required field is blank");
        if (c.kind == Kind::kCode && !(s.empty() && !c.required) && !InCodes(c.codes, s))
          throw fail("value " + Shown(s) + " is not one of " + std::string(c.codes));
        if (c.kind == Kind::kDigits && !s.empty() && (!IsDigits(s) || static_cast<int>(s.size()) != c.size))
          throw fail("value " + Shown(s) + " must be exactly " + std::to_string(c.size) + " digits");
        cell.text = s;
        if (cell.text.empty()) cell.present = false;
        return cell;
      }
      case Kind::kInteger:
        if (!v.is_number_integer()) throw fail("must be a JSON integer, such as 12");
        if (v.is_number_unsigned() && v.get<std::uint64_t>() > static_cast<std::uint64_t>(INT64_MAX))
          throw fail("integer too large");
        cell.number = v.get<std::int64_t>();
        return cell;
      case Kind::kAmount:
      case Kind::kPercent: {
        const int places = c.kind == Kind::kAmount ? 2 : 4;
        if (!v.is_string())
          throw fail(std::string(c.kind == Kind::kAmount ? "an amount" : "a percentage") +
                     " is written as a JSON string such as \"1234.56\"");
        const auto& s = v.get_ref<const std::string&>();
        std::int64_t units = 0;
        if (!ParseExact(s, places, units))
          throw fail("value " + Shown(s) + " is not a decimal with at most " + std::to_string(places) +
                     " decimals and \".\" as the separator");
        if (c.kind == Kind::kAmount) {
          cell.number = units;
        } else {
          cell.text = Decimal::FromUnits(units, 4).Normalized().ToString();
        }
        return cell;
      }
      case Kind::kDate:
      case Kind::kDateTime: {
        if (!v.is_string()) throw fail("a date is written as a JSON string such as \"2026-12-31\"");
        const auto& s = v.get_ref<const std::string&>();
        auto dt = ParseDateTime(s);
        const bool ok_shape = s.size() == 10 || (s.size() == 19 && s[10] == 'T');
        if (!dt || !ok_shape)
          throw fail("value " + Shown(s) + (c.kind == Kind::kDate ? " is not a date \"YYYY-MM-DD\""
                                                                  : " is not a date-time \"YYYY-MM-DDTHH:MM:SS\""));
        if (c.kind == Kind::kDate && (dt->hour() || dt->minute() || dt->second()))
          throw fail("value " + Shown(s) + " is a date and cannot carry a time of day");
        cell.text = IsoDateTime(*dt);
        return cell;
      }
    }
    return cell;
  }

  const std::string& TextOf(const catalog::Table& t, const std::vector<Cell>& cells, std::string_view name) {
    for (std::size_t i = 0; i < t.columns.size(); ++i)
      if (t.columns[i].name == name) return cells[i].text;
    throw std::logic_error("catalogue: no field " + std::string(name));
  }

  void CheckReference(const catalog::Table& t, const catalog::Reference& r, const std::vector<Cell>& cells,
                      std::size_t row_no) {
    std::vector<std::string> values;
    for (auto f : r.fields) {
      const std::string& v = TextOf(t, cells, f);
      if (v.empty()) return;
      values.push_back(v);
    }
    const catalog::Table& target = *catalog::FindTable(r.table);
    const auto keys = target.Keys();
    std::string cache_key(r.table);
    for (const auto& v : values) cache_key += '\x1f' + v;
    auto found = known_.find(cache_key);
    if (found == known_.end()) {
      std::string sql = std::string("SELECT ") + (target.Find("CDEMPRESA") ? "CDEMPRESA" : "''") + " FROM " +
                        std::string(target.sql) + " WHERE ";
      for (std::size_t i = 0; i < keys.size(); ++i)
        sql += (i ? " AND " : "") + std::string(keys[i]->name) + " = ?";
      auto& st = Prepared(sql);
      for (std::size_t i = 0; i < values.size(); ++i) st.Bind(static_cast<int>(i + 1), values[i]);
      const bool exists = st.Step();
      std::string company = exists ? st.Text(0) : std::string();
      st.Reset();
      if (!exists) {
        std::string what;
        for (std::size_t i = 0; i < keys.size(); ++i)
          what += (i ? ", " : "") + std::string(keys[i]->name) + " = " + Shown(values[i]);
        throw ImportError(std::string(t.json), row_no, std::string(r.fields.back()),
                          "no row of " + std::string(r.table) + " with " + what);
      }
      found = known_.emplace(cache_key, std::move(company)).first;
    }
    if (r.same_company) {
      const std::string& mine = TextOf(t, cells, "CDEMPRESA");
      if (found->second != mine)
        throw ImportError(std::string(t.json), row_no, std::string(r.fields.back()),
                          Shown(values.back()) + " belongs to company " + Shown(found->second) + ", not " +
                              Shown(mine));
    }
  }

  [[noreturn]] void DuplicateKey(const catalog::Table& t, const std::vector<Cell>& cells, std::size_t row_no) {
    std::string names, values;
    std::string last;
    for (std::size_t i = 0; i < t.columns.size(); ++i) {
      if (!t.columns[i].key) continue;
      names += (names.empty() ? "" : ", ") + std::string(t.columns[i].name);
      values += (values.empty() ? "" : ", ") + Shown(cells[i].text);
      last = t.columns[i].name;
    }
    throw ImportError(std::string(t.json), row_no, last, "duplicate key (" + names + ") = (" + values + ")");
  }

  void LinkSlipsToRemittances() {
    db_.Exec(
        "INSERT OR IGNORE INTO CNABPAGBOL (CDEMPRESA, NRCNABPAG, CDFILIBPAG, NRLANBOLPAG, IDOPECNABPAG) "
        "SELECT CDEMPRESA, NRCNABPAGREM, CDFILIBPAG, NRLANBOLPAG, 'I' FROM BOLETOPAG WHERE NRCNABPAGREM <> ''");
  }

  sql::Stmt& Prepared(const std::string& sql) {
    auto it = stmts_.find(sql);
    if (it == stmts_.end()) it = stmts_.emplace(sql, std::make_unique<sql::Stmt>(db_, sql)).first;
    return *it->second;
  }

  sql::Db& db_;
  std::unordered_map<std::string, std::string> known_;  // referenced key -> its company
  std::map<std::string, std::unique_ptr<sql::Stmt>> stmts_;
};

}  // namespace

ImportSummary ImportJson(Store& store, std::string_view json_text) {
  json doc;
  try {
    doc = json::parse(json_text);
  } catch (const json::exception& e) {
    // A syntax fault, or a number past what JSON numbers can hold.
    throw ImportError("", 0, "", std::string("not valid JSON: ") + e.what());
  }
  return Importer(store.db()).Run(doc);
}

ImportSummary ImportFile(Store& store, const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw ImportError("", 0, "", "cannot read " + path);
  std::ostringstream text;
  text << in.rdbuf();
  return ImportJson(store, text.str());
}

}  // namespace pag
