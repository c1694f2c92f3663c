#include "remittance/model/writer_context.h"

#include <stdexcept>
#include <utility>

#include "host/text.h"

namespace pag {
namespace {

// The text of a field of the current row, without a copy when it is stored
// as text.
std::string_view FieldView(const TField& f, std::string& spare) {
  if (const auto* s = std::get_if<std::string>(&f.Value())) return *s;
  spare = f.AsString();
  return spare;
}

// Ajusta(s, n) without allocating for a code that already has its width (no
// blank, n ASCII characters): it is then kept as it is.
void AppendAdjusted(std::string& key, std::string_view s, std::size_t n) {
  bool plain = s.size() == n;
  for (std::size_t i = 0; plain && i < n; ++i) plain = s[i] != ' ' && static_cast<unsigned char>(s[i]) < 0x80;
  if (plain) {
    key.append(s);
  } else {
    key.append(Ajusta(s, static_cast<int>(n)));
  }
}

}  // namespace

void WriterContext::Refuse(const std::string& key) const { Refuse(key, msgs().Msg(key)); }

void WriterContext::Refuse(const std::string& key, const std::string& text) const {
  MensErro(dialogs, text, true, key);
  throw Abort(key);  // MensErro with stop does not return
}

void WriterContext::SlipWritten(const TDataSet& slips) {
  SlipWritten(slips.FieldByName("CDFILIBPAG"), slips.FieldByName("NRLANBOLPAG"));
}

void WriterContext::SlipWritten(const TField& branch, const TField& entry) {
  // RemessaData::SlipKey: branch in 4, entry in 10.
  std::string spareBranch, spareEntry;
  std::string key;
  key.reserve(14);
  AppendAdjusted(key, FieldView(branch, spareBranch), 4);
  AppendAdjusted(key, FieldView(entry, spareEntry), 10);
  if (!written.insert(std::move(key)).second) {
    const std::string again = RemessaData::SlipKey(FieldView(branch, spareBranch), FieldView(entry, spareEntry));
    throw std::logic_error("the slip " + again.substr(0, 4) + "/" + again.substr(4) + " was written twice");
  }
}

}  // namespace pag
