// The catalogue of the store's importable tables: for each, its name in the
// import file, its SQL table, its fields with kind, size, key and required
// marks, defaults, and its references to other tables. The import reads it
// to check a file; SetCNABPag reads the remittance table's entry to store a
// delta. docs/import-format.md describes the same tables for people.
//
//   const catalog::Table* t = catalog::FindTable("slips");
//   t->Find("VRFINALBPAG")->kind;   // Kind::kAmount
#pragma once

#include <string_view>
#include <vector>

namespace pag::catalog {

enum class Kind {
  kText,      // text of at most `size` characters
  kCode,      // text restricted to `codes` ("S|N")
  kDigits,    // exactly `size` digits, or empty
  kInteger,   // integer
  kAmount,    // exact amount, stored as integer cents
  kPercent,   // exact decimal with up to 4 places, stored as decimal text
  kDate,      // a date, stored as "YYYY-MM-DDT00:00:00"
  kDateTime,  // a date-time, stored as "YYYY-MM-DDTHH:MM:SS"
};

struct Column {
  std::string_view name;
  Kind kind = Kind::kText;
  int size = 0;
  bool key = false;
  bool required = false;
  std::string_view codes = {};          // kCode: allowed values separated by "|"
  std::string_view default_value = {};  // stored when the field is left out
  std::string_view default_from = {};   // or: the value of this other field
};

// fields of this table -> the key of `table` (in its key order). Skipped
// when any of the fields is empty. With same_company, the referenced row's
// CDEMPRESA must equal this row's.
struct Reference {
  std::vector<std::string_view> fields;
  std::string_view table;
  bool same_company = false;
};

struct Table {
  std::string_view json;  // name in the import file
  std::string_view sql;   // table of the store
  std::vector<Column> columns;
  std::vector<Reference> refs;

  const Column* Find(std::string_view name) const;
  std::vector<const Column*> Keys() const;
};

// Every importable table, in an order where references point backwards.
const std::vector<Table>& Tables();
const Table* FindTable(std::string_view json_name);
const Table* FindSqlTable(std::string_view sql_name);

}  // namespace pag::catalog
