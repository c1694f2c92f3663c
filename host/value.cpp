#include "host/packet.h"
#include "host/text.h"
#include "host/value.h"

#include <stdexcept>

namespace pag {

std::string ValueToText(const Value& v) {
  struct Visitor {
    std::string operator()(std::monostate) const { return {}; }
    std::string operator()(const std::string& s) const { return s; }
    std::string operator()(std::int64_t i) const { return std::to_string(i); }
    std::string operator()(const Decimal& d) const { return d.ToString(); }
    std::string operator()(const DateTime& dt) const { return IsoDateTime(dt); }
  };
  return std::visit(Visitor{}, v);
}

namespace {
std::optional<std::size_t> FindField(const std::vector<FieldDef>& fields, std::string_view name) {
  for (std::size_t i = 0; i < fields.size(); ++i)
    if (SameText(fields[i].name, name)) return i;
  return std::nullopt;
}
}  // namespace

std::optional<std::size_t> Packet::FieldIndex(std::string_view name) const { return FindField(fields, name); }

const Value& Packet::At(std::size_t row, std::string_view field) const {
  auto i = FieldIndex(field);
  if (!i) throw std::out_of_range("packet has no field " + std::string(field));
  return rows.at(row).at(*i);
}

std::optional<std::size_t> Delta::FieldIndex(std::string_view name) const { return FindField(fields, name); }

}  // namespace pag
