#include "cli/cli_dialogs.h"

#include <unistd.h>

#include <algorithm>
#include <iostream>
#include <stdexcept>
#include <utility>

#include "host/text.h"
#include "remittance/model/remessa_data.h"

namespace pag::cli {

std::string KeyOfText(const std::string& text) {
  const TMessages& m = RemessaMessages();
  for (const std::string& key : m.Keys())
    if (m.Msg(key) == text) return key;
  return {};
}

CliDialogs::CliDialogs(std::string who, bool yes) : who_(std::move(who)), yes_(yes), tty_(::isatty(2) == 1) {}

CliDialogs::~CliDialogs() { Flush(); }

void CliDialogs::ShowError(const std::string& text) {
  if (pending_ != text) Flush();
  pending_ = text;
}

void CliDialogs::ShowInfo(const std::string& text) {
  if (bar_open_) {
    std::cerr << "\n";
    bar_open_ = false;
  }
  std::cerr << text << "\n";
}

bool CliDialogs::Decide(const std::string& text) {
  const std::string key = KeyOfText(text);
  auto it = answers_.find(key);
  const bool yes = it != answers_.end() ? it->second : yes_;
  if (!yes) {
    refused_ = key.empty() ? text : key;
    refused_text_ = text;
  }
  return yes;
}

int CliDialogs::ShowMsg(const std::string& text, MsgType, Buttons buttons, int) {
  const bool yes = Decide(text);
  if (buttons == Buttons::kOk) return kMrOk;
  if (buttons == Buttons::kOkCancel) return yes ? kMrOk : kMrCancel;
  return yes ? kMrYes : kMrNo;
}

int CliDialogs::MsgAlertEx(const std::string& text, MsgType, const std::vector<std::string>& captions) {
  // The first button is the "yes" of these alerts ("Sim" / "Não").
  return Decide(text) || captions.size() < 2 ? kMrAlertFirst : kMrAlertFirst + 1;
}

void CliDialogs::PickNext(std::string option, std::vector<std::string> keys) {
  picks_.push_back({std::move(option), std::move(keys)});
}

namespace {

// Whether a key typed on the command line names a key of a list: the same
// text (letters in either case), or the same number when both are digits
// ("1" and "01").
bool SameKey(const std::string& typed, const std::string& offered) {
  const std::string a = AllTrim(typed), b = AllTrim(offered);
  if (SameText(a, b)) return true;
  if (a.empty() || b.empty() || !IsDigits(a) || !IsDigits(b)) return false;
  const auto significant = [](const std::string& s) {
    const auto i = s.find_first_not_of('0');
    return i == std::string::npos ? std::string() : s.substr(i);
  };
  return significant(a) == significant(b);
}

}  // namespace

bool CliDialogs::PesquisaLista(const PickList& list, std::vector<std::string>& picked) {
  if (picks_.empty()) return false;
  Pick pick = std::move(picks_.front());
  picks_.pop_front();
  std::vector<std::string> offered;
  for (const auto& row : list.rows)
    if (list.key_column < row.size()) offered.push_back(row[list.key_column]);
  picked.clear();
  for (const std::string& key : pick.keys) {
    auto it = std::find_if(offered.begin(), offered.end(), [&](const std::string& o) { return SameKey(key, o); });
    if (it == offered.end()) {
      std::string known;
      for (std::size_t i = 0; i < offered.size() && i < 30; ++i) {
        if (i > 0) known += ", ";
        known += AllTrim(offered[i]);
      }
      if (offered.size() > 30) known += ", ...";
      std::string message = pick.option;
      message += " ";
      message += key;
      message += ": not in the list \"";
      message += list.title;
      message += "\" (";
      message += offered.empty() ? std::string("it is empty") : known;
      message += ")";
      throw std::invalid_argument(message);
    }
    if (std::find(picked.begin(), picked.end(), *it) == picked.end()) picked.push_back(*it);
  }
  if (!list.multiple && picked.size() > 1)
    throw std::invalid_argument(pick.option + std::string(": the list \"") + list.title + "\" takes one key only");
  return !picked.empty();
}

std::optional<std::string> CliDialogs::ChooseSaveFile(const std::string&, const std::string&, const std::string&) {
  return std::nullopt;
}

void CliDialogs::Progress(long position, long max, const std::string& text) {
  if (!tty_ || max <= 0) return;
  constexpr int kWidth = 30;
  const long filled = position >= max ? kWidth : position * kWidth / max;
  std::cerr << "\r[" << std::string(static_cast<std::size_t>(filled), '#')
            << std::string(static_cast<std::size_t>(kWidth - filled), ' ') << "] " << (position * 100 / max) << "% "
            << text << std::flush;
  bar_open_ = position < max;
  if (!bar_open_) std::cerr << "\n";
}

std::string CliDialogs::TakePending() { return std::exchange(pending_, {}); }

void CliDialogs::Flush() {
  if (pending_.empty()) return;
  if (bar_open_) {
    std::cerr << "\n";
    bar_open_ = false;
  }
  std::cerr << who_ << ": " << TakePending() << "\n";
}

}  // namespace pag::cli
