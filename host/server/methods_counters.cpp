// Counters: remittance numbers, file sequences, the account's file phase and
// the files sent to a bank. Each draw runs in a write transaction (BEGIN
// IMMEDIATE, or a savepoint inside a unit of work), so two connections or two
// processes on one store never get the same number. A number drawn inside a
// unit of work that is rolled back returns to the counter with it.
//
// Counter names: CNABPAG + company, REMESSAPAG + account, FASECNABPAG +
// account, CTCNABPAG + bank (table CONTADOR); files of a day per bank in
// CTCNABDIA.
#include "host/server/method_kit.h"
#include "host/text.h"

namespace pag::server {

namespace {

// The width of the numbers handed out as text.
constexpr int kNumberWidth = 10;

std::string CounterName(std::string_view name, std::string_view key1, std::string_view key2) {
  return UpperCase(AllTrim(name)) + AllTrim(key1) + AllTrim(key2);
}

void RequireAccount(MethodContext& ctx, const std::string& account) {
  auto& st = ctx.Prepare("SELECT 1 FROM CONTCORR WHERE CDREDUCONT = ?");
  st.Bind(1, account);
  const bool found = st.Step();
  st.Reset();
  if (!found) throw ArgError("unknown account '" + account + "'");
}

// ProximoCodigo(counter, key 1, key 2): the next number, as text.
Reply ProximoCodigo(MethodContext& ctx, Args& a) {
  a.Expect("sss");
  const std::string name = CounterName(a.Raw(0), a.Raw(1), a.Raw(2));
  if (AllTrim(a.Raw(0)).empty()) throw ArgError("the counter needs a name");
  sql::WriteScope scope(ctx.db());
  const auto n = DrawCounter(ctx, name);
  scope.Commit();
  return Reply::Text(Ajusta(std::to_string(n), kNumberWidth));
}

// PrxCodigoRemessaPag(account): the account's next file sequence number.
Reply PrxCodigoRemessaPag(MethodContext& ctx, Args& a) {
  a.Expect("s");
  const std::string account = a.Key(0);
  sql::WriteScope scope(ctx.db());
  RequireAccount(ctx, account);
  const auto n = DrawCounter(ctx, "REMESSAPAG" + account);
  scope.Commit();
  return Reply::Text(Ajusta(std::to_string(n), kNumberWidth));
}

// UpDateCC(account): an account without a file phase starts in test ("T").
Reply UpDateCC(MethodContext& ctx, Args& a) {
  a.Expect("s");
  const std::string account = a.Key(0);
  sql::WriteScope scope(ctx.db());
  RequireAccount(ctx, account);
  auto& st = ctx.Prepare("UPDATE CONTCORR SET IDFASCNABPAG = 'T' WHERE CDREDUCONT = ? AND trim(IDFASCNABPAG) = ''");
  st.Bind(1, account);
  st.Step();
  scope.Commit();
  return Reply();
}

// UpDatePrx(value, counter): sets a counter ("FASECNABPAG001") to a value
// ("00000000000000000011"), so the next draw gives value + 1.
Reply UpDatePrx(MethodContext& ctx, Args& a) {
  a.Expect("ss");
  const std::string text = a.Key(0);
  const auto significant = text.find_first_not_of('0');
  if (!IsDigits(text) || (significant != std::string::npos && text.size() - significant > 18))
    throw ArgError("the new value '" + a.Raw(0) + "' is not a number");
  const std::string name = CounterName(a.Raw(1), "", "");
  if (name.empty()) throw ArgError("the counter needs a name");
  sql::WriteScope scope(ctx.db());
  auto& st = ctx.Prepare(
      "INSERT INTO CONTADOR (CDCONTADOR, VRCONTADOR) VALUES (?, ?) "
      "ON CONFLICT (CDCONTADOR) DO UPDATE SET VRCONTADOR = excluded.VRCONTADOR");
  st.Bind(1, name).Bind(2, static_cast<std::int64_t>(StrToInt(text)));
  st.Step();
  scope.Commit();
  return Reply();
}

constexpr Col kCtCnab[] = {Integer("CTCNAB")};

Packet CountPacket(std::int64_t before) {
  Packet p;
  p.fields = FieldsOf(kCtCnab);
  p.rows.push_back({Value(before)});
  return p;
}

// GetCtCnabDiaP(bank, day): counts one more file of the bank on that day and
// answers how many there were before it (CTCNAB), so this file is CTCNAB + 1.
Reply GetCtCnabDiaP(MethodContext& ctx, Args& a) {
  a.Expect("sd");
  sql::WriteScope scope(ctx.db());
  auto& st = ctx.Prepare(
      "INSERT INTO CTCNABDIA (CDBANCO, DTCNAB, CTCNAB) VALUES (?, ?, 1) "
      "ON CONFLICT (CDBANCO, DTCNAB) DO UPDATE SET CTCNAB = CTCNAB + 1 RETURNING CTCNAB");
  st.Bind(1, a.Key(0)).Bind(2, IsoDay(a.Date(1)) + "T00:00:00");
  if (!st.Step()) throw std::runtime_error("daily counter gave no value");
  const auto n = st.Int(0);
  while (st.Step()) {
  }
  scope.Commit();
  return Reply::OfPacket(CountPacket(n - 1));
}

// GetCtCNABPag(bank): the same for every file of the bank.
Reply GetCtCNABPag(MethodContext& ctx, Args& a) {
  a.Expect("s");
  sql::WriteScope scope(ctx.db());
  const auto n = DrawCounter(ctx, "CTCNABPAG" + a.Key(0));
  scope.Commit();
  return Reply::OfPacket(CountPacket(n - 1));
}

}  // namespace

void AddCounterMethods(MethodTable& t) {
  t["ProximoCodigo"] = ProximoCodigo;
  t["PrxCodigoRemessaPag"] = PrxCodigoRemessaPag;
  t["UpDateCC"] = UpDateCC;
  t["UpDatePrx"] = UpDatePrx;
  t["GetCtCnabDiaP"] = GetCtCnabDiaP;
  t["GetCtCNABPag"] = GetCtCNABPag;
}

}  // namespace pag::server
