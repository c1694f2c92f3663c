// The import format under arbitrary files, on an in-memory store: a file is
// either loaded whole or refused with ImportError (naming the table, row
// and field), and a refused file leaves the store as it was. Any other
// exception is a fault of the import.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string_view>

#include "host/server/import.h"
#include "host/server/schema.h"
#include "host/server/sqlite.h"

namespace {

std::unique_ptr<pag::Store> store;

std::int64_t Rows() {
  return store->db().QueryInt(
      "SELECT (SELECT count(*) FROM EMPRESA) + (SELECT count(*) FROM FILIAL) + (SELECT count(*) FROM BOLETOPAG) + "
      "(SELECT count(*) FROM CONTCORR) + (SELECT count(*) FROM FORNECEDOR) + (SELECT count(*) FROM CNABPAG)");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (!store) store = std::make_unique<pag::Store>(":memory:", pag::Store::Mode::kCreate);
  const std::int64_t before = Rows();
  try {
    pag::ImportJson(*store, std::string_view(reinterpret_cast<const char*>(data), size));
    // Loaded: start again from an empty store, so that keys stay free.
    store = std::make_unique<pag::Store>(":memory:", pag::Store::Mode::kCreate);
  } catch (const pag::ImportError&) {
    if (Rows() != before) std::abort();
    if (store->db().InTransaction()) std::abort();
  }
  return 0;
}
