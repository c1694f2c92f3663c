#include "host/server/admin.h"

#include <filesystem>

#include "host/server/schema.h"

namespace pag {

void CreateStore(const std::string& path, bool replace) {
  namespace fs = std::filesystem;
  std::error_code ec;
  if (fs::exists(path, ec)) {
    if (!replace) throw StoreRefused(path + " already exists (use --force to replace it)");
    for (const std::string& p : {path, path + "-wal", path + "-shm"}) {
      fs::remove(p, ec);
      if (ec) throw StoreRefused("cannot remove " + p + ": " + ec.message());
    }
  }
  Store store(path, Store::Mode::kCreate);
}

std::string DefaultDemoDataPath() { return std::string(PAG_SOURCE_DIR) + "/data/demo.json"; }

}  // namespace pag
