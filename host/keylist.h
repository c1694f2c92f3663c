// TKeyList: string keys with an exact numeric value each, in the order the
// keys were first added. Lookups are by hash, so marking 100,000 slips stays
// linear.
//
//   TKeyList kl;
//   kl.Add("0001" "0000000042", Decimal::Parse("10.50"));
//   kl.Add("B", 1); kl.Add("B", 1);   // "B" now holds 2
//   kl.IndexOf("B");                  // 1
#pragma once

#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "host/decimal.h"

namespace pag {

class TKeyList {
 public:
  // Inserts the key, or adds value to the value it holds.
  void Add(std::string_view key, const Decimal& value);
  // Removes the key; nothing happens when it is absent.
  void Remove(std::string_view key);
  // 0-based index of the key, -1 when absent.
  int IndexOf(std::string_view key) const;
  bool Contains(std::string_view key) const { return map_.count(std::string(key)) != 0; }
  const std::string& Key(int i) const;
  // The value at index i.
  const Decimal& Sum(int i) const;
  // The value of a key, zero when absent.
  Decimal ValueOf(std::string_view key) const;
  int Count() const { return static_cast<int>(map_.size()); }
  void Clear();
  // Sum of every value.
  Decimal Total() const;

 private:
  struct Entry {
    std::string key;
    Decimal value;
    bool live = true;
  };
  void Compact() const;

  mutable std::vector<Entry> entries_;
  mutable std::unordered_map<std::string, std::size_t> map_;
  mutable std::size_t dead_ = 0;
};

}  // namespace pag
