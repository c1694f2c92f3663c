// Creating a store and finding the demo data: what `pag00100 init` does.
//
//   CreateStore("/tmp/pag.db", /*replace=*/false);
//   ImportFile(store, DefaultDemoDataPath());
#pragma once

#include <string>

namespace pag {

// Creates an empty store of the current schema. An existing file is refused
// (StoreRefused) unless `replace`, which removes it and its WAL files first.
void CreateStore(const std::string& path, bool replace);

// data/demo.json of the source tree this program was built from.
std::string DefaultDemoDataPath();

}  // namespace pag
