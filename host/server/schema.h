// The store's schema, declared once with a version number, and the store
// itself: one SQLite file that holds the application server's tables and the
// host's local tables (EMPRESA, BANCO, ENDEFORN, MUNICIPIO, PAIS).
//
//   Store store("/tmp/pag.db", Store::Mode::kCreate);   // new or existing
//   store.version();                                   // kSchemaVersion
//
// The version lives in PRAGMA user_version and the file is marked as ours by
// PRAGMA application_id. Opening a store of an older version upgrades it in
// one transaction; a file that is not ours, or is of a newer version than
// this program, is refused with StoreRefused.
//
// History:
//   1  the first schema.
//   2  CNABPAGBOL: which slips went out in which remittance and with which
//      movement (exclusion and block remittances keep their slips too);
//      filled from BOLETOPAG.NRCNABPAGREM on upgrade. Index of slips by due date.
//   3  RELATORIO.DSCONTEUDO: the content of each report layout.
#pragma once

#include <cstdint>

#include <stdexcept>
#include <string>

#include "host/server/sqlite.h"

namespace pag {

inline constexpr int kSchemaVersion = 3;
// "PAG1" as a 32-bit number: marks the file as a remittance store.
inline constexpr int kApplicationId = 0x50414731;

// A file that cannot be used as a store, with the reason.
class StoreRefused : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Creates the tables of `version` (1..kSchemaVersion) in an empty database,
// by creating version 1 and applying each upgrade step in turn, and stamps
// the version. Kept callable with an old version for the upgrade tests.
void CreateSchema(sql::Db& db, int version);

// Upgrades an open store from its version to kSchemaVersion, one step at a
// time, in one transaction.
void UpgradeSchema(sql::Db& db);

class Store {
 public:
  enum class Mode {
    kOpenExisting,  // the file must exist and be a store
    kCreate,        // an empty or missing file becomes a new store
  };

  explicit Store(const std::string& path, Mode mode = Mode::kOpenExisting);

  sql::Db& db() { return db_; }
  const std::string& path() const { return path_; }
  // The version found when the file was opened (before any upgrade).
  int opened_version() const { return opened_version_; }
  int version() const { return kSchemaVersion; }

  // The server's units of work on this store's connection: whether one is
  // open, and a count of their starts and ends, so that what was read
  // inside one is never taken for what holds after it.
  bool in_work() const { return in_work_; }
  std::uint64_t work_epoch() const { return work_epoch_; }
  void SetInWork(bool open) {
    in_work_ = open;
    ++work_epoch_;
  }

 private:
  std::string path_;
  sql::Db db_;
  int opened_version_ = 0;
  bool in_work_ = false;
  std::uint64_t work_epoch_ = 0;
};

}  // namespace pag
