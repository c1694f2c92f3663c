#include "host/keylist.h"

#include <stdexcept>

namespace pag {

void TKeyList::Add(std::string_view key, const Decimal& value) {
  auto it = map_.find(std::string(key));
  if (it != map_.end()) {
    entries_[it->second].value += value;
    return;
  }
  map_.emplace(std::string(key), entries_.size());
  entries_.push_back({std::string(key), value, true});
}

void TKeyList::Remove(std::string_view key) {
  auto it = map_.find(std::string(key));
  if (it == map_.end()) return;
  entries_[it->second].live = false;
  ++dead_;
  map_.erase(it);
  if (dead_ > 64 && dead_ * 2 > entries_.size()) Compact();
}

void TKeyList::Compact() const {
  if (dead_ == 0) return;
  std::vector<Entry> kept;
  kept.reserve(map_.size());
  for (auto& e : entries_)
    if (e.live) kept.push_back(std::move(e));
  entries_ = std::move(kept);
  for (std::size_t i = 0; i < entries_.size(); ++i) map_[entries_[i].key] = i;
  dead_ = 0;
}

int TKeyList::IndexOf(std::string_view key) const {
  auto it = map_.find(std::string(key));
  if (it == map_.end()) return -1;
  Compact();
  return static_cast<int>(map_.find(std::string(key))->second);
}

const std::string& TKeyList::Key(int i) const {
  Compact();
  if (i < 0 || static_cast<std::size_t>(i) >= entries_.size()) throw std::out_of_range("key list index out of range");
  return entries_[i].key;
}

const Decimal& TKeyList::Sum(int i) const {
  Compact();
  if (i < 0 || static_cast<std::size_t>(i) >= entries_.size()) throw std::out_of_range("key list index out of range");
  return entries_[i].value;
}

Decimal TKeyList::ValueOf(std::string_view key) const {
  auto it = map_.find(std::string(key));
  return it == map_.end() ? Decimal() : entries_[it->second].value;
}

void TKeyList::Clear() {
  entries_.clear();
  map_.clear();
  dead_ = 0;
}

Decimal TKeyList::Total() const {
  Decimal t;
  for (const auto& e : entries_)
    if (e.live) t += e.value;
  return t;
}

}  // namespace pag
