#include "host/messages.h"

#include "host/text.h"

namespace pag {

TMessages::TMessages(std::initializer_list<std::string_view> lines) {
  for (auto l : lines) AddLine(l);
}

void TMessages::AddLine(std::string_view line) {
  auto bar = line.find('|');
  if (bar == std::string_view::npos) return;
  Add(line.substr(0, bar), line.substr(bar + 1));
}

void TMessages::Add(std::string_view key, std::string_view text) {
  table_[UpperCase(key)] = {std::string(key), std::string(text)};
}

std::string TMessages::Msg(std::string_view key) const {
  auto it = table_.find(UpperCase(key));
  return it == table_.end() ? std::string(key) : it->second.second;
}

bool TMessages::Has(std::string_view key) const { return table_.count(UpperCase(key)) != 0; }

std::string TMessages::Format(std::string_view key, const std::vector<std::string>& args) const {
  return FormatMsg(Msg(key), args);
}

std::vector<std::string> TMessages::Keys() const {
  std::vector<std::string> keys;
  for (const auto& [k, v] : table_) keys.push_back(v.first);
  return keys;
}

std::string FormatMsg(std::string_view text, const std::vector<std::string>& args) {
  std::string out;
  std::size_t next = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '%' && i + 1 < text.size()) {
      if (text[i + 1] == 's') {
        if (next < args.size()) out += args[next];
        ++next;
        ++i;
        continue;
      }
      if (text[i + 1] == '%') {
        out.push_back('%');
        ++i;
        continue;
      }
    }
    out.push_back(text[i]);
  }
  return out;
}

}  // namespace pag
