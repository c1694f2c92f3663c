// The remittance screen's dialogs on the command line: questions are
// answered from the flags, messages go to standard error, and long jobs draw
// a progress bar there when it is a terminal.
//
//   CliDialogs dlg("pag00100 remit", /*yes=*/false);
//   dlg.Answer("MARCA_BOL", true);        // --slips all: yes, mark them all
//   ...the screen asks "ARQU_EXISTE"...   // no --yes: refused, remembered
//   dlg.refused();                        // "ARQU_EXISTE"
//   dlg.PickNext("--supplier", {"F001"});  // the next lookup list picks supplier F001
#pragma once

#include <deque>
#include <map>
#include <string>
#include <vector>

#include "host/dialogs.h"
#include "host/messages.h"

namespace pag::cli {

class CliDialogs : public Dialogs {
 public:
  CliDialogs(std::string who, bool yes);
  ~CliDialogs() override;

  // The answer to a question of this key, whatever --yes says.
  void Answer(const std::string& key, bool yes) { answers_[key] = yes; }
  // The rows the next lookup list (PesquisaLista) picks, by their keys as
  // the option named them ("1" finds the key "01", "ana" the key "ANA"). A
  // key the list does not offer ends the command (std::invalid_argument,
  // naming the option). Without a pick waiting, a lookup is cancelled.
  void PickNext(std::string option, std::vector<std::string> keys);

  void ShowError(const std::string& text) override;
  void ShowInfo(const std::string& text) override;
  int ShowMsg(const std::string& text, MsgType type, Buttons buttons, int default_button) override;
  int MsgAlertEx(const std::string& text, MsgType type, const std::vector<std::string>& captions) override;
  bool PesquisaLista(const PickList& list, std::vector<std::string>& picked) override;
  std::optional<std::string> ChooseSaveFile(const std::string& title, const std::string& filter,
                                            const std::string& initial_path) override;
  void Progress(long position, long max, const std::string& text) override;

  // The key of the last question refused for want of --yes ("" for none),
  // with its text.
  const std::string& refused() const { return refused_; }
  const std::string& refusedText() const { return refused_text_; }
  void ClearRefused() { refused_.clear(); refused_text_.clear(); }
  // The error shown last and not printed yet (it ended the action).
  std::string TakePending();
  // Prints an error that did not end the action.
  void Flush();

 private:
  bool Decide(const std::string& text);

  std::string who_;
  bool yes_;
  std::map<std::string, bool> answers_;
  struct Pick {
    std::string option;
    std::vector<std::string> keys;
  };
  std::deque<Pick> picks_;
  std::string refused_, refused_text_;
  std::string pending_;
  bool tty_ = false;
  bool bar_open_ = false;
};

// The key of a message text of the remittance screen ("" when none has it).
std::string KeyOfText(const std::string& text);

}  // namespace pag::cli
