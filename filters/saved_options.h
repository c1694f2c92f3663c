// Saved filter options: the name=value entries a filter dialog keeps for an
// operator, in a small settings file of the user's configuration folder
// ($XDG_CONFIG_HOME/pag00100, else ~/.config/pag00100), one file per
// operator with one section per dialog:
//
//   pag00100 filter options 1
//   [PAG00102]
//   rbtTForn=N
//   stListForn=_F001_F003
//   medDocIni=0000123
//
// Values are written as they are, with "\" escaping a backslash ("\\"), a
// line break ("\n", "\r") and other control characters ("\x1f"). A file is
// written to a temporary file in the same folder and renamed over the old
// one, so a crash never leaves half a file behind.
//
//   OptionsFile file(OptionsFile::DefaultFolder());
//   OptionList opts;
//   opts.Set("stListForn", "_F001");
//   file.Save("ANA", "PAG00102", opts);
//   std::optional<OptionList> back = file.Load("ANA", "PAG00102");   // throws OptionsFileError when damaged
#pragma once

#include <filesystem>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace pag {

// The name=value entries of one dialog, in the order they were set.
class OptionList {
 public:
  // Sets an entry; a name set again keeps its place and takes the new value.
  void Set(std::string_view name, std::string_view value);
  std::optional<std::string> Get(std::string_view name) const;
  bool Has(std::string_view name) const { return Get(name).has_value(); }
  void Clear() { entries_.clear(); }
  bool empty() const { return entries_.empty(); }
  const std::vector<std::pair<std::string, std::string>>& Entries() const { return entries_; }

 private:
  std::vector<std::pair<std::string, std::string>> entries_;
};

// A settings file that cannot be read, is damaged or is not ours; or one
// that could not be written. The message names the file and the reason.
class OptionsFileError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

class OptionsFile {
 public:
  // Files are kept in `folder` (created when first saving).
  explicit OptionsFile(std::filesystem::path folder) : folder_(std::move(folder)) {}

  // $XDG_CONFIG_HOME/pag00100 when that variable holds an absolute path,
  // else $HOME/.config/pag00100.
  static std::filesystem::path DefaultFolder();

  const std::filesystem::path& Folder() const { return folder_; }
  // filters-<operator>.conf; characters of the operator code other than
  // letters, digits and "-" are written as %XX, so that any code stays a
  // plain file name inside the folder.
  std::filesystem::path PathFor(std::string_view operator_code) const;

  // The section of a dialog; nullopt when there is no file or no such
  // section. Throws OptionsFileError when the file is damaged or foreign.
  std::optional<OptionList> Load(std::string_view operator_code, std::string_view section) const;
  // Replaces the dialog's section and keeps the others (a damaged file is
  // replaced whole). Throws OptionsFileError when it cannot be written.
  void Save(std::string_view operator_code, std::string_view section, const OptionList& options) const;

 private:
  std::filesystem::path folder_;
};

}  // namespace pag
