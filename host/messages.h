// A screen's message table: lines "KEY|text", keys compared without regard
// to case. A missing key gives the key itself.
//
//   TMessages m({"Bole_inf|Boleto deve ser informado.", "DES_IMPRI_BORDERO|Deseja imprimir o borderô %s ?"});
//   m.Msg("BOLE_INF");                          // "Boleto deve ser informado."
//   m.Format("DES_IMPRI_BORDERO", {"X.QR2"});   // "Deseja imprimir o borderô X.QR2 ?"
#pragma once

#include <initializer_list>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace pag {

class TMessages {
 public:
  TMessages() = default;
  explicit TMessages(std::initializer_list<std::string_view> lines);
  // Adds a line "KEY|text"; a later line for the same key replaces it.
  void AddLine(std::string_view line);
  void Add(std::string_view key, std::string_view text);
  std::string Msg(std::string_view key) const;
  bool Has(std::string_view key) const;
  // The text of key with each "%s" filled in turn by args.
  std::string Format(std::string_view key, const std::vector<std::string>& args) const;
  std::vector<std::string> Keys() const;

 private:
  std::unordered_map<std::string, std::pair<std::string, std::string>> table_;  // upper key -> (key, text)
};

// Fills each "%s" of text in turn with args ("%%" is a percent sign).
std::string FormatMsg(std::string_view text, const std::vector<std::string>& args);

}  // namespace pag
