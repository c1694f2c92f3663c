#include "filters/saved_options.h"

#include <cctype>
#include <cstdlib>
#include <fstream>
#include <random>
#include <sstream>
#include <system_error>

namespace pag {

void OptionList::Set(std::string_view name, std::string_view value) {
  for (auto& [n, v] : entries_) {
    if (n == name) {
      v = std::string(value);
      return;
    }
  }
  entries_.emplace_back(std::string(name), std::string(value));
}

std::optional<std::string> OptionList::Get(std::string_view name) const {
  for (const auto& [n, v] : entries_)
    if (n == name) return v;
  return std::nullopt;
}

namespace {

constexpr std::string_view kHeader = "pag00100 filter options 1";
// A settings file is a few kilobytes; anything much larger is not ours.
constexpr std::uintmax_t kMaxFileSize = 1 << 20;

using Sections = std::vector<std::pair<std::string, OptionList>>;

bool IsName(std::string_view s) {
  if (s.empty()) return false;
  for (char c : s)
    if (!std::isalnum(static_cast<unsigned char>(c)) && c != '_') return false;
  return true;
}

std::string Escape(std::string_view value) {
  static const char kHex[] = "0123456789abcdef";
  std::string out;
  for (char c : value) {
    const auto u = static_cast<unsigned char>(c);
    if (c == '\\') {
      out += "\\\\";
    } else if (c == '\n') {
      out += "\\n";
    } else if (c == '\r') {
      out += "\\r";
    } else if (u < 0x20 || u == 0x7f) {
      out += "\\x";
      out += kHex[u >> 4];
      out += kHex[u & 0xf];
    } else {
      out += c;
    }
  }
  return out;
}

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// nullopt for a malformed escape.
std::optional<std::string> Unescape(std::string_view s) {
  std::string out;
  for (std::size_t i = 0; i < s.size(); ++i) {
    if (s[i] != '\\') {
      out += s[i];
      continue;
    }
    if (++i == s.size()) return std::nullopt;
    switch (s[i]) {
      case '\\': out += '\\'; break;
      case 'n': out += '\n'; break;
      case 'r': out += '\r'; break;
      case 'x': {
        if (i + 2 >= s.size()) return std::nullopt;
        const int hi = HexValue(s[i + 1]), lo = HexValue(s[i + 2]);
        if (hi < 0 || lo < 0) return std::nullopt;
        out += static_cast<char>(hi * 16 + lo);
        i += 2;
        break;
      }
      default: return std::nullopt;
    }
  }
  return out;
}

std::string Describe(const std::filesystem::path& path, const std::string& reason) {
  return "filter options " + path.string() + ": " + reason;
}

// Reads and checks a whole file; nullopt when there is none.
std::optional<Sections> ReadFile(const std::filesystem::path& path) {
  std::error_code ec;
  const auto status = std::filesystem::status(path, ec);
  if (ec || status.type() == std::filesystem::file_type::not_found) return std::nullopt;
  if (status.type() != std::filesystem::file_type::regular)
    throw OptionsFileError(Describe(path, "not a regular file"));
  const auto size = std::filesystem::file_size(path, ec);
  if (ec) throw OptionsFileError(Describe(path, ec.message()));
  if (size > kMaxFileSize) throw OptionsFileError(Describe(path, "too large to be a settings file"));
  std::ifstream in(path, std::ios::binary);
  if (!in) throw OptionsFileError(Describe(path, "cannot be read"));
  std::ostringstream buf;
  buf << in.rdbuf();
  const std::string text = buf.str();
  if (text.find('\0') != std::string::npos) throw OptionsFileError(Describe(path, "not a text file"));

  Sections sections;
  bool header = false;
  std::size_t line_no = 0, start = 0;
  while (start < text.size()) {
    std::size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    std::string_view line(text.data() + start, end - start);
    start = end + 1;
    ++line_no;
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    const auto fault = [&](const char* what) {
      return OptionsFileError(Describe(path, "line " + std::to_string(line_no) + ": " + what));
    };
    if (!header) {
      if (line != kHeader) throw OptionsFileError(Describe(path, "not a pag00100 filter options file"));
      header = true;
      continue;
    }
    if (line.empty() || line.front() == '#') continue;
    if (line.front() == '[') {
      if (line.back() != ']' || !IsName(line.substr(1, line.size() - 2))) throw fault("bad section name");
      std::string name(line.substr(1, line.size() - 2));
      for (const auto& s : sections)
        if (s.first == name) throw fault("section given twice");
      sections.emplace_back(std::move(name), OptionList{});
      continue;
    }
    const std::size_t eq = line.find('=');
    if (eq == std::string_view::npos) throw fault("expected name=value");
    if (sections.empty()) throw fault("entry outside a section");
    const std::string_view name = line.substr(0, eq);
    if (!IsName(name)) throw fault("bad entry name");
    auto value = Unescape(line.substr(eq + 1));
    if (!value) throw fault("bad escape in value");
    OptionList& opts = sections.back().second;
    if (opts.Has(name)) throw fault("entry given twice");
    opts.Set(name, *value);
  }
  if (!header) throw OptionsFileError(Describe(path, "empty file"));
  return sections;
}

std::string TempSuffix() {
  std::random_device rd;
  std::uniform_int_distribution<unsigned> dist(0, 0xffffff);
  std::ostringstream s;
  s << std::hex << dist(rd);
  return s.str();
}

}  // namespace

std::filesystem::path OptionsFile::DefaultFolder() {
  if (const char* xdg = std::getenv("XDG_CONFIG_HOME"); xdg && *xdg) {
    std::filesystem::path p(xdg);
    if (p.is_absolute()) return p / "pag00100";
  }
  const char* home = std::getenv("HOME");
  std::filesystem::path base = home && *home ? std::filesystem::path(home) : std::filesystem::current_path();
  return base / ".config" / "pag00100";
}

std::filesystem::path OptionsFile::PathFor(std::string_view operator_code) const {
  static const char kHex[] = "0123456789ABCDEF";
  std::string name = "filters-";
  for (char c : operator_code) {
    const auto u = static_cast<unsigned char>(c);
    if (std::isalnum(u) || c == '-') {
      name += c;
    } else {
      name += '%';
      name += kHex[u >> 4];
      name += kHex[u & 0xf];
    }
  }
  name += ".conf";
  return folder_ / name;
}

std::optional<OptionList> OptionsFile::Load(std::string_view operator_code, std::string_view section) const {
  auto sections = ReadFile(PathFor(operator_code));
  if (!sections) return std::nullopt;
  for (auto& [name, opts] : *sections)
    if (name == section) return std::move(opts);
  return std::nullopt;
}

void OptionsFile::Save(std::string_view operator_code, std::string_view section, const OptionList& options) const {
  if (!IsName(section)) throw std::invalid_argument("bad options section name " + std::string(section));
  for (const auto& [name, value] : options.Entries())
    if (!IsName(name)) throw std::invalid_argument("bad option name " + name);
  const std::filesystem::path path = PathFor(operator_code);

  // The other dialogs' sections stay; a damaged file is simply replaced.
  Sections sections;
  try {
    if (auto old = ReadFile(path)) sections = std::move(*old);
  } catch (const OptionsFileError&) {
    sections.clear();
  }
  bool replaced = false;
  for (auto& [name, opts] : sections) {
    if (name == section) {
      opts = options;
      replaced = true;
    }
  }
  if (!replaced) sections.emplace_back(std::string(section), options);

  std::string text(kHeader);
  text += '\n';
  for (const auto& [name, opts] : sections) {
    text += '[' + name + "]\n";
    for (const auto& [key, value] : opts.Entries()) text += key + '=' + Escape(value) + '\n';
  }

  std::error_code ec;
  std::filesystem::create_directories(folder_, ec);
  if (ec) throw OptionsFileError(Describe(folder_, ec.message()));
  const std::filesystem::path temp = folder_ / (std::string(".").append(path.filename().string()).append(".").append(TempSuffix()).append(".tmp"));
  {
    std::ofstream out(temp, std::ios::binary | std::ios::trunc);
    out.write(text.data(), static_cast<std::streamsize>(text.size()));
    out.flush();
    if (!out) {
      out.close();
      std::filesystem::remove(temp, ec);
      throw OptionsFileError(Describe(path, "cannot be written"));
    }
  }
  std::filesystem::rename(temp, path, ec);
  if (ec) {
    std::error_code ignored;
    std::filesystem::remove(temp, ignored);
    throw OptionsFileError(Describe(path, ec.message()));
  }
}

}  // namespace pag
