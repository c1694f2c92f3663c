#include "host/dialogs.h"

#include "host/errors.h"

namespace pag {

void MensErro(Dialogs& dialogs, const std::string& text, bool stop, const std::string& key) {
  dialogs.ShowError(text);
  if (stop) throw Abort(key.empty() ? text : key);
}

void ScriptedDialogs::ShowError(const std::string& text) { shown.push_back({Kind::kError, text}); }
void ScriptedDialogs::ShowInfo(const std::string& text) { shown.push_back({Kind::kInfo, text}); }

int ScriptedDialogs::ShowMsg(const std::string& text, MsgType, Buttons, int default_button) {
  shown.push_back({Kind::kQuestion, text});
  if (answers.empty()) return default_button;
  int a = answers.front();
  answers.pop_front();
  return a;
}

int ScriptedDialogs::MsgAlertEx(const std::string& text, MsgType, const std::vector<std::string>&) {
  shown.push_back({Kind::kAlert, text});
  if (answers.empty()) return kMrAlertFirst;
  int a = answers.front();
  answers.pop_front();
  return a;
}

bool ScriptedDialogs::PesquisaLista(const PickList& list, std::vector<std::string>& picked) {
  shown.push_back({Kind::kPick, list.title});
  if (picks.empty() || !picks.front()) {
    if (!picks.empty()) picks.pop_front();
    return false;
  }
  picked = *picks.front();
  picks.pop_front();
  return true;
}

std::optional<std::string> ScriptedDialogs::ChooseSaveFile(const std::string& title, const std::string&,
                                                           const std::string&) {
  shown.push_back({Kind::kFile, title});
  if (files.empty()) return std::nullopt;
  auto f = files.front();
  files.pop_front();
  return f;
}

void ScriptedDialogs::Progress(long position, long max, const std::string& text) {
  last_position = position;
  last_max = max;
  last_progress_text = text;
}

std::vector<std::string> ScriptedDialogs::Errors() const {
  std::vector<std::string> out;
  for (const auto& s : shown)
    if (s.kind == Kind::kError) out.push_back(s.text);
  return out;
}

std::vector<std::string> ScriptedDialogs::Questions() const {
  std::vector<std::string> out;
  for (const auto& s : shown)
    if (s.kind == Kind::kQuestion || s.kind == Kind::kAlert) out.push_back(s.text);
  return out;
}

void ScriptedDialogs::Reset() {
  shown.clear();
  answers.clear();
  picks.clear();
  files.clear();
}

}  // namespace pag
