// Small tools the remittance screen's source files share: silencing a
// dataset's events while the screen puts rows back, suspending its views,
// and reading a row without moving the cursor.
//
//   { MutedEvents quiet(d.cdsBoletos); ...edit rows, no bookkeeping... }
//   std::string mark = TextAt(d.cdsBoletos, 3, "IDMARCADO");
#pragma once

#include <string>

#include "host/dataset.h"
#include "host/dialogs.h"

namespace pag {

// Every event of a dataset but OnCalcFields is off while this lives.
class MutedEvents {
 public:
  explicit MutedEvents(TDataSet& ds);
  ~MutedEvents();
  MutedEvents(const MutedEvents&) = delete;
  MutedEvents& operator=(const MutedEvents&) = delete;

 private:
  TDataSet& ds_;
  TDataSet::Event saved_[17];
};

// DisableControls ... EnableControls.
class ControlsDisabled {
 public:
  explicit ControlsDisabled(TDataSet& ds) : ds_(ds) { ds_.DisableControls(); }
  ~ControlsDisabled() { ds_.EnableControls(); }
  ControlsDisabled(const ControlsDisabled&) = delete;
  ControlsDisabled& operator=(const ControlsDisabled&) = delete;

 private:
  TDataSet& ds_;
};

// ActiveShowAvi ... DeactiveShowAvi.
class BusyScope {
 public:
  explicit BusyScope(Dialogs& dialogs) : dialogs_(dialogs) { dialogs_.ActiveShowAvi(); }
  ~BusyScope() { dialogs_.DeactiveShowAvi(); }
  BusyScope(const BusyScope&) = delete;
  BusyScope& operator=(const BusyScope&) = delete;

 private:
  Dialogs& dialogs_;
};

// The text of a field in visible row recNo (1-based), without scrolling.
std::string TextAt(const TDataSet& ds, int recNo, const char* field);
// The text of a field of the current row ("" for null).
std::string Text(const TDataSet& ds, const char* field);

}  // namespace pag
