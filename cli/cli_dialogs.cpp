#include "cli/cli_dialogs.h"

#include <unistd.h>

#include <iostream>
#include <utility>

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

bool CliDialogs::PesquisaLista(const PickList&, std::vector<std::string>&) { return false; }

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
