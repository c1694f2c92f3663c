// Report layouts kept by the server: their date, version and reference for
// the refresh of the local copy, the text the report dialog is given, and
// the layout's content that the refresh downloads.
#include "host/server/method_kit.h"

namespace pag::server {

namespace {

// GetDadosRel(layout name): [server date, version, file reference]. An
// unknown layout gives the zero date and version "0", so nothing is fetched.
Reply GetDadosRel(MethodContext& ctx, Args& a) {
  a.Expect("s");
  auto& st = ctx.Prepare(
      "SELECT DTRELATORIO, NRVERSAO, DSREFERENCIA FROM RELATORIO WHERE DSARQRELATORIO = ? COLLATE NOCASE");
  st.Bind(1, a.Key(0));
  if (!st.Step())
    return Reply::Array({Reply::OfValue(ZeroDateTime()), Reply::Text("0"), Reply::Text("")});
  auto when = ParseDateTime(st.TextView(0));
  return Reply::Array(
      {Reply::OfValue(when ? *when : ZeroDateTime()), Reply::Text(st.Text(1)), Reply::Text(st.Text(2))});
}

// RetornaRelatorio(layout name by reference, " "): two lines, the report
// dialog's setting and the version; empty for an unknown layout. The name
// comes back as the server spells it.
Reply RetornaRelatorio(MethodContext& ctx, Args& a) {
  a.Expect("ss");
  auto& st = ctx.Prepare(
      "SELECT DSARQRELATORIO, DSCONFIGREL, NRVERSAO FROM RELATORIO WHERE DSARQRELATORIO = ? COLLATE NOCASE");
  st.Bind(1, a.Key(0));
  if (!st.Step()) return Reply::Text("");
  a.SetRef(0, st.Text(0));
  return Reply::Text(st.Text(1) + "\r\n" + st.Text(2));
}

// GetArquivoRel(file reference): the content of the layout that GetDadosRel
// named by that reference, as stored, for the refresh of a local copy. An
// unknown reference, or a layout kept without content, is an error.
Reply GetArquivoRel(MethodContext& ctx, Args& a) {
  a.Expect("s");
  auto& st = ctx.Prepare("SELECT DSCONTEUDO FROM RELATORIO WHERE DSREFERENCIA = ? AND DSREFERENCIA <> ''");
  st.Bind(1, a.Key(0));
  if (!st.Step() || st.TextView(0).empty())
    throw std::runtime_error("no report layout file '" + a.Key(0) + "' on the server");
  return Reply::Text(st.Text(0));
}

}  // namespace

void AddReportMethods(MethodTable& t) {
  t["GetDadosRel"] = GetDadosRel;
  t["RetornaRelatorio"] = RetornaRelatorio;
  t["GetArquivoRel"] = GetArquivoRel;
}

}  // namespace pag::server
