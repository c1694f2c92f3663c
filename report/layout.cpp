#include "report/layout.h"

#include <algorithm>
#include <charconv>
#include <fstream>
#include <sstream>

#include "host/text.h"

namespace pag::report {

namespace {

std::string Lower(std::string_view s) {
  std::string out(s);
  for (char& c : out)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return out;
}

bool IsIdentifier(std::string_view s) {
  if (s.empty()) return false;
  return std::all_of(s.begin(), s.end(), [](char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_';
  });
}

std::vector<std::string> SplitOn(std::string_view s, char sep) {
  std::vector<std::string> out;
  std::size_t start = 0;
  for (;;) {
    std::size_t end = s.find(sep, start);
    out.push_back(AllTrim(s.substr(start, end == std::string_view::npos ? std::string_view::npos : end - start)));
    if (end == std::string_view::npos) break;
    start = end + 1;
  }
  return out;
}

// Reads the lines of a layout, remembering each one's number.
class Reader {
 public:
  Reader(const std::string& name) : name_(name) {}

  [[noreturn]] void Fail(int line, const std::string& why) const {
    throw LayoutError("report layout " + name_ + ", line " + std::to_string(line) + ": " + why);
  }

  double Number(int line, const std::string& value, double low, double high) const {
    double v = 0;
    const char* end = value.data() + value.size();
    auto [p, ec] = std::from_chars(value.data(), end, v);
    if (ec != std::errc() || p != end || v < low || v > high)
      Fail(line, "\"" + value + "\" is not a number from " + Shown(low) + " to " + Shown(high));
    return v;
  }

  void CheckTemplate(int line, const std::string& tmpl) const {
    try {
      SplitTemplate(tmpl);
    } catch (const LayoutError& e) {
      Fail(line, e.what());
    }
  }

 private:
  static std::string Shown(double v) {
    std::ostringstream s;
    s << v;
    return s.str();
  }
  std::string name_;
};

void SetPage(PaymentListLayout& l, const Reader& r, int line, const std::string& key, const std::string& value) {
  const std::string v = Lower(value);
  if (key == "papel") {
    if (v == "a4") l.paper = Paper::kA4;
    else if (v == "carta") l.paper = Paper::kLetter;
    else if (v == "oficio" || v == "ofício") l.paper = Paper::kLegal;
    else r.Fail(line, "paper \"" + value + "\" is not A4, CARTA or OFICIO");
  } else if (key == "orientacao" || key == "orientação") {
    if (v == "retrato") l.landscape = false;
    else if (v == "paisagem") l.landscape = true;
    else r.Fail(line, "orientation \"" + value + "\" is not RETRATO or PAISAGEM");
  } else if (key == "margem") {
    l.margin_mm = r.Number(line, value, 0, 50);
  } else if (key == "fonte") {
    if (value.empty()) r.Fail(line, "the font needs a name");
    l.font_family = value;
  } else if (key == "tamanho") {
    l.font_size = r.Number(line, value, 5, 20);
  } else {
    r.Fail(line, "unknown key \"" + key + "\" in [pagina]");
  }
}

void AddColumn(PaymentListLayout& l, const Reader& r, int line, const std::string& text) {
  const auto parts = SplitOn(text, '|');
  if (parts.size() != 4) r.Fail(line, "a column is \"title | field | width | alignment\"");
  LayoutColumn c;
  c.title = parts[0];
  c.field = ParseFieldRef(parts[1]);
  if (!IsIdentifier(c.field.field)) r.Fail(line, "\"" + parts[1] + "\" does not name a field");
  c.width = static_cast<int>(r.Number(line, parts[2], 1, 1000));
  const std::string a = Lower(parts[3]);
  if (a == "esquerda") c.align = Align::kLeft;
  else if (a == "centro") c.align = Align::kCenter;
  else if (a == "direita") c.align = Align::kRight;
  else r.Fail(line, "alignment \"" + parts[3] + "\" is not esquerda, centro or direita");
  l.columns.push_back(std::move(c));
}

}  // namespace

FieldRef ParseFieldRef(std::string_view text) {
  const std::string s = AllTrim(text);
  const std::size_t blank = s.find(' ');
  FieldRef f;
  f.field = UpperCase(s.substr(0, blank));
  if (blank != std::string::npos) f.pattern = AllTrim(std::string_view(s).substr(blank + 1));
  return f;
}

std::vector<TemplatePiece> SplitTemplate(std::string_view tmpl) {
  std::vector<TemplatePiece> pieces;
  std::string literal;
  for (std::size_t i = 0; i < tmpl.size(); ++i) {
    const char c = tmpl[i];
    if (c == '{' && i + 1 < tmpl.size() && tmpl[i + 1] == '{') {
      literal += '{';
      ++i;
    } else if (c == '}' && i + 1 < tmpl.size() && tmpl[i + 1] == '}') {
      literal += '}';
      ++i;
    } else if (c == '{') {
      const std::size_t close = tmpl.find('}', i);
      if (close == std::string_view::npos) throw LayoutError("\"{\" without \"}\" in \"" + std::string(tmpl) + "\"");
      FieldRef f = ParseFieldRef(tmpl.substr(i + 1, close - i - 1));
      if (!IsIdentifier(f.field))
        throw LayoutError("\"{" + std::string(tmpl.substr(i + 1, close - i - 1)) + "}\" does not name a field");
      if (!literal.empty()) pieces.push_back({false, std::move(literal), {}});
      literal.clear();
      pieces.push_back({true, {}, std::move(f)});
      i = close;
    } else if (c == '}') {
      throw LayoutError("\"}\" without \"{\" in \"" + std::string(tmpl) + "\"");
    } else {
      literal += c;
    }
  }
  if (!literal.empty()) pieces.push_back({false, std::move(literal), {}});
  return pieces;
}

void PaymentListLayout::ApplyDialogSetting(std::string_view setting) {
  for (const std::string& pair : SplitOn(setting, ';')) {
    if (pair.empty()) continue;
    const std::size_t eq = pair.find('=');
    if (eq == std::string::npos) continue;
    const std::string key = Lower(AllTrim(std::string_view(pair).substr(0, eq)));
    const std::string value = AllTrim(std::string_view(pair).substr(eq + 1));
    if (key != "papel" && key != "orientacao") continue;
    Reader r("setting of " + name);
    try {
      SetPage(*this, r, 1, key, value);
    } catch (const LayoutError&) {
      throw LayoutError("report dialog setting \"" + std::string(setting) + "\" of " + name + ": bad " + key +
                        " \"" + value + "\"");
    }
  }
}

int PaymentListLayout::SumColumn() const {
  for (std::size_t i = 0; i < columns.size(); ++i)
    if (columns[i].field.field == sum_field) return static_cast<int>(i);
  return -1;
}

PaymentListLayout ParseLayout(std::string_view text, const std::string& name) {
  PaymentListLayout l;
  l.name = name;
  Reader r(name);

  // Lines with their numbers; the version stamp line at the end is dropped.
  std::vector<std::pair<int, std::string>> lines;
  {
    int n = 0;
    std::size_t start = 0;
    while (start < text.size()) {
      std::size_t end = text.find('\n', start);
      if (end == std::string_view::npos) end = text.size();
      std::string_view line = text.substr(start, end - start);
      if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
      lines.emplace_back(++n, std::string(line));
      start = end + 1;
    }
    if (!lines.empty() && !lines.back().second.empty() && lines.back().second.back() == '#') lines.pop_back();
  }

  std::string section;
  bool magic = false;
  bool has_columns = false;
  for (const auto& [no, raw] : lines) {
    const std::string line = AllTrim(raw);
    if (line.empty() || line[0] == ';') continue;
    if (!magic) {
      if (line.rfind("PAGREL", 0) != 0) r.Fail(no, "not a payment-list layout (it must begin with \"PAGREL 1\")");
      if (AllTrim(std::string_view(line).substr(6)) != "1")
        r.Fail(no, "layout format \"" + line + "\" is not supported (only \"PAGREL 1\")");
      magic = true;
      continue;
    }
    if (line.front() == '[') {
      if (line.back() != ']') r.Fail(no, "a section is written \"[name]\"");
      section = Lower(AllTrim(std::string_view(line).substr(1, line.size() - 2)));
      static const char* kSections[] = {"pagina", "parametros", "cabecalho", "colunas", "grupos", "totais", "rodape"};
      if (std::find(std::begin(kSections), std::end(kSections), section) == std::end(kSections))
        r.Fail(no, "unknown section [" + section + "]");
      if (section == "colunas") has_columns = true;
      continue;
    }
    if (section.empty()) r.Fail(no, "\"" + line + "\" comes before any section");
    if (section == "parametros") {
      if (!IsIdentifier(line)) r.Fail(no, "\"" + line + "\" is not a parameter name");
      l.parameters.push_back(line);
      continue;
    }
    if (section == "colunas") {
      AddColumn(l, r, no, line);
      continue;
    }
    const std::size_t eq = line.find('=');
    if (eq == std::string::npos) r.Fail(no, "\"" + line + "\" is not \"key = value\"");
    const std::string key_text = AllTrim(std::string_view(line).substr(0, eq));
    const std::string value = AllTrim(std::string_view(line).substr(eq + 1));
    const std::size_t blank = key_text.find(' ');
    const std::string key = Lower(key_text.substr(0, blank));
    const std::string qualifier = blank == std::string::npos ? "" : AllTrim(key_text.substr(blank + 1));
    auto template_value = [&](std::string& target) {
      r.CheckTemplate(no, value);
      target = value;
    };
    if (!qualifier.empty() && !(section == "grupos" && key == "rotulo"))
      r.Fail(no, "unknown key \"" + key_text + "\" in [" + section + "]");
    if (section == "pagina") {
      SetPage(l, r, no, key, value);
    } else if (section == "cabecalho") {
      if (key == "titulo") template_value(l.title);
      else if (key == "linha") template_value(l.header_lines.emplace_back());
      else r.Fail(no, "unknown key \"" + key + "\" in [cabecalho]");
    } else if (section == "grupos") {
      if (key == "campo" || key == "soma") {
        const FieldRef f = ParseFieldRef(value);
        if (!IsIdentifier(f.field) || !f.pattern.empty()) r.Fail(no, "\"" + value + "\" does not name a field");
        (key == "campo" ? l.group_field : l.sum_field) = f.field;
      } else if (key == "titulo") {
        template_value(l.group_title);
      } else if (key == "continuacao" || key == "continuação") {
        template_value(l.group_continued);
      } else if (key == "subtotal") {
        template_value(l.subtotal_text);
      } else if (key == "rotulo" && qualifier.empty()) {
        l.default_label = value;
      } else if (key == "rotulo") {
        if (!l.group_labels.emplace(qualifier, value).second) r.Fail(no, "label of \"" + qualifier + "\" given twice");
        l.group_order.push_back(qualifier);
      } else {
        r.Fail(no, "unknown key \"" + key + "\" in [grupos]");
      }
    } else if (section == "totais") {
      if (key == "total") template_value(l.total_text);
      else if (key == "vazio") template_value(l.empty_text);
      else if (key == "divergencia" || key == "divergência") template_value(l.mismatch_text);
      else r.Fail(no, "unknown key \"" + key + "\" in [totais]");
    } else if (section == "rodape") {
      if (key == "esquerda") template_value(l.footer_left);
      else if (key == "direita") template_value(l.footer_right);
      else r.Fail(no, "unknown key \"" + key + "\" in [rodape]");
    }
  }

  const int last = lines.empty() ? 1 : lines.back().first;
  if (!magic) r.Fail(1, "empty layout (it must begin with \"PAGREL 1\")");
  if (!has_columns || l.columns.empty()) r.Fail(last, "the layout has no [colunas]");
  for (const char* p : {"P_CDEMPRESA", "P_NRCNABPAG"})
    if (std::find(l.parameters.begin(), l.parameters.end(), p) == l.parameters.end())
      r.Fail(last, std::string("the layout does not declare the parameter ") + p + " in [parametros]");
  if (!l.sum_field.empty() && l.SumColumn() < 0)
    r.Fail(last, "the summed field " + l.sum_field + " is not one of the columns");
  return l;
}

PaymentListLayout ReadLayoutFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw LayoutError("cannot read the report layout " + path);
  std::ostringstream s;
  s << in.rdbuf();
  std::string name = path;
  if (auto slash = name.find_last_of("/\\"); slash != std::string::npos) name = name.substr(slash + 1);
  return ParseLayout(s.str(), name);
}

}  // namespace pag::report
