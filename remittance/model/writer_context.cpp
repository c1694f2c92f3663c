#include "remittance/model/writer_context.h"

#include <stdexcept>

namespace pag {

void WriterContext::SlipWritten(const TDataSet& slips) {
  const std::string key = RemessaData::SlipKey(slips);
  if (!written.insert(key).second)
    throw std::logic_error("the slip " + key.substr(0, 4) + "/" + key.substr(4) + " was written twice");
}

}  // namespace pag
