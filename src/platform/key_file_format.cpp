#include "platform/key_file_format.h"

#include <charconv>
#include <optional>

#include "platform/registry_values.h"
#include "platform/utf16.h"

namespace vesk::platform {
namespace {

constexpr char kHexDigits[] = "0123456789abcdef";

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

void AppendHexByte(std::string& out, unsigned char b) {
  out.push_back(kHexDigits[b >> 4]);
  out.push_back(kHexDigits[b & 15]);
}

// ---- writing ----

void AppendQuoted(std::string& out, std::string_view text) {
  out.push_back('"');
  for (const char c : text) {
    const auto b = static_cast<unsigned char>(c);
    switch (c) {
      case '\\': out += "\\\\"; break;
      case '"': out += "\\\""; break;
      case '\n': out += "\\n"; break;
      case '\r': out += "\\r"; break;
      case '\t': out += "\\t"; break;
      default:
        if (b < 0x20 || b == 0x7F) {
          out += "\\x";
          AppendHexByte(out, b);
        } else {
          out.push_back(c);
        }
    }
  }
  out.push_back('"');
}

void AppendKeyPath(std::string& out, std::string_view path) {
  out.push_back('[');
  for (const char c : path) {
    const auto b = static_cast<unsigned char>(c);
    if (b < 0x20 || b == 0x7F || c == '%') {
      out.push_back('%');
      AppendHexByte(out, b);
    } else {
      out.push_back(c);
    }
  }
  out += "]\n";
}

void AppendValue(std::string& out, const std::string& name, const TRawValue& value) {
  AppendQuoted(out, name);
  out.push_back('=');
  const auto& data = value.Data;
  if ((value.Type == rvString || value.Type == rvExpandString) && IsCanonicalRegString(data)) {
    out += value.Type == rvString ? "sz:" : "expand_sz:";
    AppendQuoted(out, DecodeRegString(data));
  } else if (value.Type == rvDword && data.size() == 4) {
    out += "dword:";
    for (int k = 3; k >= 0; --k) AppendHexByte(out, data[static_cast<std::size_t>(k)]);
  } else {
    out += "hex(" + std::to_string(static_cast<std::uint32_t>(value.Type)) + "):";
    for (const std::uint8_t b : data) AppendHexByte(out, b);
  }
  out.push_back('\n');
}

void AppendKey(std::string& out, const std::string& path, const TKeyNode& node) {
  // The root is written only when it holds values; every other key always,
  // so that empty keys survive.
  if (!path.empty() || !node.Values.empty()) AppendKeyPath(out, path);
  for (const auto& [name, value] : node.Values) AppendValue(out, name, value);
  for (const auto& [name, child] : node.Subkeys) {
    AppendKey(out, path.empty() ? name : path + "\\" + name, child);
  }
}

// ---- reading ----

// Reads a quoted text at line[pos], advancing pos past the closing quote.
std::optional<std::string> ReadQuoted(std::string_view line, std::size_t& pos) {
  if (pos >= line.size() || line[pos] != '"') return std::nullopt;
  std::string text;
  for (++pos; pos < line.size(); ++pos) {
    const char c = line[pos];
    if (c == '"') {
      ++pos;
      return text;
    }
    if (c != '\\') {
      text.push_back(c);
      continue;
    }
    if (++pos >= line.size()) return std::nullopt;
    switch (line[pos]) {
      case '\\': text.push_back('\\'); break;
      case '"': text.push_back('"'); break;
      case 'n': text.push_back('\n'); break;
      case 'r': text.push_back('\r'); break;
      case 't': text.push_back('\t'); break;
      case 'x': {
        if (pos + 2 >= line.size()) return std::nullopt;
        const int hi = HexValue(line[pos + 1]);
        const int lo = HexValue(line[pos + 2]);
        if (hi < 0 || lo < 0) return std::nullopt;
        text.push_back(static_cast<char>(hi * 16 + lo));
        pos += 2;
        break;
      }
      default: return std::nullopt;
    }
  }
  return std::nullopt;  // no closing quote
}

std::optional<std::vector<std::uint8_t>> ReadHexBytes(std::string_view digits) {
  if (digits.size() % 2 != 0) return std::nullopt;
  std::vector<std::uint8_t> bytes;
  bytes.reserve(digits.size() / 2);
  for (std::size_t i = 0; i < digits.size(); i += 2) {
    const int hi = HexValue(digits[i]);
    const int lo = HexValue(digits[i + 1]);
    if (hi < 0 || lo < 0) return std::nullopt;
    bytes.push_back(static_cast<std::uint8_t>(hi * 16 + lo));
  }
  return bytes;
}

std::optional<std::string> ReadKeyPath(std::string_view inner) {
  std::string path;
  for (std::size_t i = 0; i < inner.size(); ++i) {
    if (inner[i] != '%') {
      path.push_back(inner[i]);
      continue;
    }
    if (i + 2 >= inner.size()) return std::nullopt;
    const int hi = HexValue(inner[i + 1]);
    const int lo = HexValue(inner[i + 2]);
    if (hi < 0 || lo < 0) return std::nullopt;
    path.push_back(static_cast<char>(hi * 16 + lo));
    i += 2;
  }
  return path;
}

bool StartsWith(std::string_view text, std::string_view prefix) {
  return text.substr(0, prefix.size()) == prefix;
}

// The text of a sz or expand_sz value: valid UTF-8 with no zero character,
// so that it round-trips through its UTF-16 form.
std::optional<TRawValue> ReadTextValue(std::string_view rest, TRegValueType type) {
  std::size_t pos = 0;
  std::optional<std::string> text = ReadQuoted(rest, pos);
  if (!text || pos != rest.size()) return std::nullopt;
  if (!IsValidUtf8(*text) || text->find('\0') != std::string::npos) return std::nullopt;
  return TRawValue{type, EncodeRegString(*text)};
}

std::optional<TRawValue> ReadValueData(std::string_view form) {
  if (StartsWith(form, "sz:")) return ReadTextValue(form.substr(3), rvString);
  if (StartsWith(form, "expand_sz:")) return ReadTextValue(form.substr(10), rvExpandString);
  if (StartsWith(form, "dword:")) {
    const std::string_view digits = form.substr(6);
    if (digits.size() != 8) return std::nullopt;
    auto bytes = ReadHexBytes(digits);
    if (!bytes) return std::nullopt;
    return TRawValue{rvDword, {(*bytes)[3], (*bytes)[2], (*bytes)[1], (*bytes)[0]}};
  }
  if (StartsWith(form, "hex(")) {
    const std::size_t close = form.find("):");
    if (close == std::string_view::npos || close == 4) return std::nullopt;
    std::uint32_t type = 0;
    const char* first = form.data() + 4;
    const char* last = form.data() + close;
    const auto [end, error] = std::from_chars(first, last, type);
    if (error != std::errc() || end != last) return std::nullopt;
    auto bytes = ReadHexBytes(form.substr(close + 2));
    if (!bytes) return std::nullopt;
    return TRawValue{static_cast<TRegValueType>(type), std::move(*bytes)};
  }
  return std::nullopt;
}

// Names are taken as the bytes they are: a name that is not UTF-8 stays
// readable rather than losing its value.
bool ValidName(const std::string& name) { return name.size() <= 16383 && name.find('\0') == std::string::npos; }

}  // namespace

std::string FormatKeyFile(const TKeyNode& root) {
  std::string out = "; Vesk Clock settings (UTF-8)\n";
  AppendKey(out, {}, root);
  return out;
}

TKeyFileContents ParseKeyFile(std::string_view text) {
  TKeyFileContents result;
  if (StartsWith(text, "\xEF\xBB\xBF")) text.remove_prefix(3);
  TKeyNode* section = nullptr;
  std::size_t line_number = 0;
  while (!text.empty()) {
    const std::size_t end = text.find('\n');
    std::string_view line = text.substr(0, end);
    text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
    ++line_number;
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);

    bool good = false;
    if (line.find_first_not_of(" \t") == std::string_view::npos || line[0] == ';' || line[0] == '#') {
      good = true;
    } else if (line[0] == '[' && line.back() == ']' && line.size() >= 2) {
      std::vector<std::string> names;
      const std::optional<std::string> path = ReadKeyPath(line.substr(1, line.size() - 2));
      if (path && SplitKeyPath(*path, names)) {
        section = &result.Root;
        for (const std::string& name : names) section = &section->Subkeys[name];
        good = true;
      } else {
        section = nullptr;  // the values of a key that cannot be read go with it
      }
    } else if (line[0] == '"' && section != nullptr) {
      std::size_t pos = 0;
      std::optional<std::string> name = ReadQuoted(line, pos);
      if (name && ValidName(*name) && pos < line.size() && line[pos] == '=') {
        if (std::optional<TRawValue> value = ReadValueData(line.substr(pos + 1))) {
          if (TRawValue* existing = section->FindValue(*name)) {
            *existing = std::move(*value);  // a repeated name: the last one holds
          } else {
            section->Values.emplace_back(std::move(*name), std::move(*value));
          }
          good = true;
        }
      }
    }
    if (!good) {
      if (result.BadLines++ == 0) result.FirstBadLine = line_number;
    }
  }
  return result;
}

}  // namespace vesk::platform
