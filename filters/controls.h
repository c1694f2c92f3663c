// The state of the filter dialogs' controls, without any window: what a
// radio, a check box, an edit or a lookup button holds and whether it is
// enabled. The Qt views bind widgets to these; tests and the command line
// set them directly and then call the dialog's handlers.
//
//   MaskEdit doc(7);
//   doc.SetText("123456789");   // "1234567": an edit never holds more than its maximum length
//   NumberEdit value;
//   value.SetText("1.234,50");  // true; value.Value() == 1234.50
//   value.SetText("-3");        // false: a minus sign is never accepted
//   DateEdit due;
//   due.SetText("31/02/2026");  // typed, but not a date: IsValid() is false
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "host/datetime.h"
#include "host/decimal.h"
#include "host/dialogs.h"
#include "host/packet.h"

namespace pag {

struct RadioButton {
  bool Checked = false;
  bool Enabled = true;
};

struct CheckBox {
  bool Checked = false;
  bool Enabled = true;
};

struct Button {
  bool Enabled = true;
};

// A group of exclusive choices (rdgPessoa, rdgCdBarraPag).
struct RadioGroup {
  std::vector<std::string> Items;
  int ItemIndex = 0;
  bool Enabled = true;
};

// A read-only text box (the weekday beside a date).
struct Label {
  std::string Text;
};

// Checks `on` and unchecks its partner, as a click on one radio of a pair.
inline void CheckRadio(RadioButton& on, RadioButton& off) {
  on.Checked = true;
  off.Checked = false;
}

// A text edit with a maximum length in characters (0: none).
class MaskEdit {
 public:
  explicit MaskEdit(int max_length = 0) : max_length_(max_length) {}
  const std::string& Text() const { return text_; }
  // Keeps at most MaxLength characters, as the edit refuses to take more.
  void SetText(std::string_view text);
  int MaxLength() const { return max_length_; }
  void SetMaxLength(int n);
  bool IsBlank() const;
  bool Enabled = true;

 private:
  std::string text_;
  int max_length_;
};

// A number edit of non-negative amounts with a bounded integer part and
// decimals ("1.234,56" or "1234.56" typed; blank reads as 0).
class NumberEdit {
 public:
  explicit NumberEdit(int int_digits = 10, int decimals = 2) : int_digits_(int_digits), decimals_(decimals) {}
  const std::string& Text() const { return text_; }
  // Takes the text when it is blank or a number the edit can hold: not
  // negative, at most int_digits digits before the separator and `decimals`
  // after it. Anything else is refused (false) and the text stays.
  bool SetText(std::string_view text);
  // Shows a value the way the edit does ("1234,50").
  void SetValue(const Decimal& value);
  Decimal Value() const;
  bool IsBlank() const;
  int IntDigits() const { return int_digits_; }
  int Decimals() const { return decimals_; }
  bool Enabled = true;

 private:
  std::string text_;
  int int_digits_;
  int decimals_;
};

// A date edit: holds what was typed ("dd/mm/yyyy", or ISO "yyyy-mm-dd"),
// which may be blank or not a date at all until the edit's own check runs.
class DateEdit {
 public:
  const std::string& Text() const { return text_; }
  void SetText(std::string_view text) { text_ = std::string(text); }
  // Shows a date as "dd/mm/yyyy"; nullopt empties the edit.
  void SetDate(const std::optional<Date>& date);
  void Clear() { text_.clear(); }
  // Nothing typed (only blanks and the mask's separators).
  bool IsBlank() const;
  // Blank, or a real calendar date.
  bool IsValid() const;
  // The date typed; nullopt when blank or not a date.
  std::optional<Date> GetDate() const;
  bool Enabled = true;

 private:
  std::string text_;
};

// The host's MaxNumber: whether a key typed at the end of a number edit's
// text keeps it within int_digits integer digits and `decimals` decimals.
// Digits, one separator ("," or ".") and backspace can pass; anything else
// (a minus sign among them) is refused.
bool MaxNumber(std::string_view text, int int_digits, int decimals, char key);

// The weekday name of a date as the host's "dddd" gives it ("quinta-feira").
std::string WeekdayName(const Date& d);

// The host's PictPess: the display picture of a registration number of a
// person type ("J" company, "F" individual); "" for other types.
std::string PictPess(std::string_view person_type);

// A registration number or an account shown through a picture: its digits
// fill the picture when they are as many as its places, otherwise the value
// is shown as stored.
std::string FormatMaskText(std::string_view value, std::string_view picture);

// Picked keys as the lookup gives them back, and as the server reads them:
// each key after a "_" ("_0001_0002").
std::string JoinKeyList(const std::vector<std::string>& keys);

// One column of a lookup list: a field of the source, its title, and how its
// text is shown (the field's text when not set).
struct PickColumn {
  std::string field;
  std::string title;
  std::string (*show)(const Packet& rows, std::size_t row) = nullptr;
};

// The rows of a lookup source made into a list to pick from; the key field
// must be one of the columns.
PickList MakePickList(const Packet& rows, std::string title, const std::vector<PickColumn>& columns,
                      std::string_view key_field);

}  // namespace pag
