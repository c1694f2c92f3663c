// What a bank writer is given when the confirmation calls it: the screen's
// datasets positioned as the confirmation left them, the server connection,
// the host's local database, the session (processing date, branch, clock),
// the dialogs, the texts of the screen's fields it reads, and the sink its
// records go to. A writer reports every slip it writes, so the confirmation
// can check that each marked slip went into the file exactly once.
//
//   void Remessa_BcoBrasil(WriterContext& ctx) {
//     Record rec(recordContext, "Header de arquivo", 240);
//     ...
//     ctx.out.write(rec.finish());
//     ctx.SlipWritten(ctx.d.cdsBoletos);
//   }
#pragma once

#include <set>
#include <string>

#include "host/connection.h"
#include "host/dialogs.h"
#include "host/localdb.h"
#include "host/session.h"
#include "remittance/model/remessa_data.h"
#include "writers/cnab/output_file.h"

namespace pag {

struct WriterContext {
  RemessaData& d;
  TNetConnection& net;
  LocalDatabase& localdb;
  const Session& session;
  Dialogs& dialogs;
  RecordSink& out;

  // Texts of the screen's fields: company (medCdEmpresa), account and bank
  // of the remittance (dbeCdReduCont, dbeCdBanco).
  std::string companyCode;
  std::string accountCode;
  std::string bankCode;
  // Item index of the remittance-kind combo (dbcTpRemessa): a writer flag
  // of the Bradesco layouts ("WEB TA", "Antecipação") when greater than 0.
  int tpRemessaIndex = 0;

  // Keys (CDFILIBPAG + NRLANBOLPAG) of the slips written so far.
  std::set<std::string> written;

  // Records that the current row of `slips` (cdsBoletos or cdsBolCnab) went
  // into the file. Writing the same slip twice is an error.
  void SlipWritten(const TDataSet& slips);
  // The same, from the dataset's CDFILIBPAG and NRLANBOLPAG fields as the
  // writer holds them.
  void SlipWritten(const TField& branch, const TField& entry);

  // The processing date of the logged-in branch, and the current time.
  Date ProcessingDate() const { return session.DataProc(session.FiliProc()); }
  DateTime Now() const { return session.clock.Now(); }
  const TMessages& msgs() const { return d.msgs; }

  // Stops the run: the text of `key` (or the text given) is shown as an
  // error, then Abort(key) ends the confirmation.
  [[noreturn]] void Refuse(const std::string& key) const;
  [[noreturn]] void Refuse(const std::string& key, const std::string& text) const;
};

}  // namespace pag
