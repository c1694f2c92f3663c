// Loading a JSON file into the store (docs/import-format.md): one array of
// rows per table, fields named as the datasets name them, amounts as decimal
// strings. All or nothing: the first fault refuses the whole file and names
// the table, the row (1-based) and the field.
//
//   ImportSummary s = ImportFile(store, "data/demo.json");
//   s.total;                       // rows loaded
//   // or: catch (const ImportError& e) { e.table(), e.row(), e.field() }
#pragma once

#include <cstddef>
#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "host/server/schema.h"

namespace pag {

class ImportError : public std::runtime_error {
 public:
  ImportError(std::string table, std::size_t row, std::string field, const std::string& reason);
  const std::string& table() const { return table_; }
  std::size_t row() const { return row_; }  // 1-based; 0 when the fault is not in a row
  const std::string& field() const { return field_; }
  const std::string& reason() const { return reason_; }

 private:
  std::string table_;
  std::size_t row_;
  std::string field_;
  std::string reason_;
};

struct ImportSummary {
  std::vector<std::pair<std::string, std::size_t>> tables;  // rows per table, in load order
  std::size_t total = 0;
};

ImportSummary ImportJson(Store& store, std::string_view json_text);
// Reads the file first; a file that cannot be read is an ImportError too.
ImportSummary ImportFile(Store& store, const std::string& path);

}  // namespace pag
