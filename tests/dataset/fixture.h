// Shared pieces of the dataset tests: a small slip list as the server would
// send it, and a recorder of dataset events.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "host/dataset.h"

namespace pag::test {

struct Slip {
  const char* branch;
  const char* entry;
  const char* supplier;
  std::optional<Date> due;
  const char* value;
  const char* marked = "N";
  const char* mode = "B";
  const char* barcode = "";
  const char* line = "";
};

inline Packet SlipPacket(const std::vector<Slip>& slips) {
  Packet p;
  p.fields = {{"CDFILIBPAG", FieldKind::kString, 4},     {"NRLANBOLPAG", FieldKind::kString, 10},
              {"NMRAZSOCFORN", FieldKind::kString, 40},  {"DTVENBOLPAG", FieldKind::kDateTime},
              {"VRFINALBPAG", FieldKind::kDecimal, 0, 2}, {"IDMARCADO", FieldKind::kString, 1},
              {"IDBAIXAUTILP", FieldKind::kString, 1},   {"CDBARRAPAG", FieldKind::kString, 44},
              {"DSLINHBARPAG", FieldKind::kString, 55}};
  auto text = [](const char* s) -> Value { return *s ? Value(std::string(s)) : Value(); };
  for (const Slip& s : slips)
    p.rows.push_back({std::string(s.branch), std::string(s.entry), text(s.supplier),
                      s.due ? Value(DateTime::FromDate(*s.due)) : Value(), Decimal::Parse(s.value),
                      std::string(s.marked), std::string(s.mode), text(s.barcode), text(s.line)});
  return p;
}

// Four slips; two are due on the same day and one has no due date.
inline Packet FourSlips() {
  return SlipPacket({
      {"0001", "0000000001", "ZETA LTDA", MakeDate(2026, 3, 10), "100.00", "N", "B", "23790000000000000000000000000000000000000001"},
      {"0001", "0000000002", "ALFA SA", MakeDate(2026, 3, 5), "50.25", "S", "R", "83600000000000000000000000000000000000000002"},
      {"0002", "0000000003", "BETA ME", MakeDate(2026, 3, 10), "7.10", "S", "B", ""},
      {"0002", "0000000004", "GAMA", std::nullopt, "0.99", "N", "C", ""},
  });
}

// Records every event of a dataset by name, in order.
class EventLog {
 public:
  explicit EventLog(TDataSet& ds) {
    auto record = [this](const char* name) { return [this, name](TDataSet&) { events_.push_back(name); }; };
    ds.BeforeOpen = record("BeforeOpen");
    ds.AfterOpen = record("AfterOpen");
    ds.BeforeClose = record("BeforeClose");
    ds.AfterClose = record("AfterClose");
    ds.BeforeInsert = record("BeforeInsert");
    ds.OnNewRecord = record("OnNewRecord");
    ds.AfterInsert = record("AfterInsert");
    ds.BeforeEdit = record("BeforeEdit");
    ds.AfterEdit = record("AfterEdit");
    ds.BeforePost = record("BeforePost");
    ds.AfterPost = record("AfterPost");
    ds.BeforeCancel = record("BeforeCancel");
    ds.AfterCancel = record("AfterCancel");
    ds.BeforeDelete = record("BeforeDelete");
    ds.AfterDelete = record("AfterDelete");
    ds.BeforeScroll = record("BeforeScroll");
    ds.AfterScroll = record("AfterScroll");
  }
  // The events since the last call, comma-separated.
  std::string Take() {
    std::string out;
    for (const auto& e : events_) {
      if (!out.empty()) out += ',';
      out += e;
    }
    events_.clear();
    return out;
  }

 private:
  std::vector<std::string> events_;
};

// The values of one field over the visible rows, in order, "|"-separated.
inline std::string Column(const TDataSet& ds, const char* field) {
  std::string out;
  const TField& f = ds.FieldByName(field);
  for (int r = 1; r <= ds.RecordCount(); ++r) {
    if (r > 1) out += '|';
    out += ValueToText(ds.ValueAt(r, f));
  }
  return out;
}

}  // namespace pag::test
