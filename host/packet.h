// Data packets: the rows a server method answers with, and the change log
// (delta) of a dataset that goes back to the server.
//
//   Packet p;
//   p.fields = {{"CDEMPRESA", FieldKind::kString, 2}, {"VRFINALBPAG", FieldKind::kDecimal, 0, 2}};
//   p.rows.push_back({std::string("01"), Decimal::FromUnits(1050, 2)});
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "host/value.h"

namespace pag {

struct FieldDef {
  std::string name;
  FieldKind kind = FieldKind::kString;
  int size = 0;   // characters of a string field; 0 for other kinds
  int scale = 0;  // decimals of a decimal field
  friend bool operator==(const FieldDef&, const FieldDef&) = default;
};

struct Packet {
  std::vector<FieldDef> fields;
  std::vector<std::vector<Value>> rows;

  // Index of a field by name (case-insensitive), or nullopt.
  std::optional<std::size_t> FieldIndex(std::string_view name) const;
  // Value of a field in a row; throws std::out_of_range for an unknown field.
  const Value& At(std::size_t row, std::string_view field) const;
  bool empty() const { return rows.empty(); }
};

enum class ChangeKind { kInsert, kModify, kDelete };

// One changed row: for an insert its new values, for a delete its original
// values, for a modification both.
struct RowChange {
  ChangeKind kind = ChangeKind::kInsert;
  std::vector<Value> original;
  std::vector<Value> current;
};

struct Delta {
  std::vector<FieldDef> fields;
  std::vector<RowChange> changes;
  std::optional<std::size_t> FieldIndex(std::string_view name) const;
  bool empty() const { return changes.empty(); }
};

}  // namespace pag
