// One value of a dataset field or of a server argument: null, text, integer,
// exact decimal or date-time.
//
//   Value v = std::string("001");
//   Value amount = Decimal::Parse("10.50");
//   IsNull(Value{});  // true
#pragma once

#include <cstdint>
#include <string>
#include <variant>

#include "host/datetime.h"
#include "host/decimal.h"

namespace pag {

using Value = std::variant<std::monostate, std::string, std::int64_t, Decimal, DateTime>;

inline bool IsNull(const Value& v) { return std::holds_alternative<std::monostate>(v); }

// The kinds of dataset fields. A "float" field of the host is kDecimal here,
// with its scale (2 for amounts).
enum class FieldKind { kString, kInteger, kDecimal, kDateTime };

// Text form of a value for messages and logs: null is "", decimals use ".",
// date-times are ISO.
std::string ValueToText(const Value& v);

}  // namespace pag
