// How the module talks to the user: errors, questions, alerts with captioned
// buttons, picking rows from a list, choosing a file, progress. The desktop
// implements it with windows, the command line from its flags, tests with
// ScriptedDialogs.
//
//   if (dlg.ShowMsg(msgs.Msg("ARQU_EXISTE"), MsgType::kConfirmation, Buttons::kYesNo, kMrNo) != kMrYes) ...
//   MensErro(dlg, msgs.Msg("Bole_inf"), true, "Bole_inf");   // shows, then throws Abort
#pragma once

#include <deque>
#include <optional>
#include <string>
#include <vector>

namespace pag {

// Button results, as the host numbers them.
inline constexpr int kMrOk = 1;
inline constexpr int kMrCancel = 2;
inline constexpr int kMrYes = 6;
inline constexpr int kMrNo = 7;
// MsgAlertEx returns kMrAlertFirst for its first button, +1 for each next one.
inline constexpr int kMrAlertFirst = 10;

enum class MsgType { kInformation, kWarning, kError, kConfirmation };
enum class Buttons { kOk, kOkCancel, kYesNo, kYesNoCancel };

// A list to pick rows from (PesquisaLista): column titles, rows of texts, and
// which column holds the key given back for each picked row.
struct PickList {
  std::string title;
  std::vector<std::string> columns;
  std::vector<std::vector<std::string>> rows;
  std::size_t key_column = 0;
  bool multiple = true;
};

class Dialogs {
 public:
  virtual ~Dialogs() = default;
  virtual void ShowError(const std::string& text) = 0;
  virtual void ShowInfo(const std::string& text) = 0;
  // A question; returns the button pressed (kMrYes, kMrNo, kMrOk, kMrCancel).
  virtual int ShowMsg(const std::string& text, MsgType type, Buttons buttons, int default_button) = 0;
  // An alert with captioned buttons; returns kMrAlertFirst + index pressed.
  virtual int MsgAlertEx(const std::string& text, MsgType type, const std::vector<std::string>& captions) = 0;
  // Lets the user pick rows; true when confirmed, with the picked keys in `picked`.
  virtual bool PesquisaLista(const PickList& list, std::vector<std::string>& picked) = 0;
  // A save-file dialog; nullopt when cancelled.
  virtual std::optional<std::string> ChooseSaveFile(const std::string& title, const std::string& filter,
                                                    const std::string& initial_path) = 0;
  // The busy animation around server calls (ActiveShowAvi / DeactiveShowAvi).
  virtual void ActiveShowAvi() {}
  virtual void DeactiveShowAvi() {}
  // Progress of a long job: position of max, with a status text.
  virtual void Progress(long /*position*/, long /*max*/, const std::string& /*text*/) {}
};

// Shows text as an error; with stop it then ends the user action by throwing
// Abort(key or, when empty, the text).
void MensErro(Dialogs& dialogs, const std::string& text, bool stop, const std::string& key = {});

// Dialogs for tests: records everything shown and answers from a script.
// An unscripted question gets its default button; an unscripted pick or file
// choice is a cancel.
class ScriptedDialogs : public Dialogs {
 public:
  enum class Kind { kError, kInfo, kQuestion, kAlert, kPick, kFile };
  struct Shown {
    Kind kind;
    std::string text;
  };

  void ShowError(const std::string& text) override;
  void ShowInfo(const std::string& text) override;
  int ShowMsg(const std::string& text, MsgType type, Buttons buttons, int default_button) override;
  int MsgAlertEx(const std::string& text, MsgType type, const std::vector<std::string>& captions) override;
  bool PesquisaLista(const PickList& list, std::vector<std::string>& picked) override;
  std::optional<std::string> ChooseSaveFile(const std::string& title, const std::string& filter,
                                            const std::string& initial_path) override;
  void ActiveShowAvi() override { ++busy_depth; ++busy_calls; }
  void DeactiveShowAvi() override { --busy_depth; }
  void Progress(long position, long max, const std::string& text) override;

  // Script: the answers to give, in order.
  std::deque<int> answers;                           // ShowMsg and MsgAlertEx
  std::deque<std::optional<std::vector<std::string>>> picks;  // nullopt = cancel
  std::deque<std::optional<std::string>> files;

  // What was shown, in order.
  std::vector<Shown> shown;
  int busy_depth = 0;
  int busy_calls = 0;
  long last_position = 0;
  long last_max = 0;
  std::string last_progress_text;

  std::vector<std::string> Errors() const;
  std::vector<std::string> Questions() const;
  void Reset();
};

}  // namespace pag
