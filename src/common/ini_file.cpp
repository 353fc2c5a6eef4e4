#include "common/ini_file.h"

#define SI_NO_CONVERSION   // single-byte Windows-1252 text throughout
#define SI_IMPLEMENTATION  // header-only: Debian splits the template bodies out behind this
#include <SimpleIni.h>

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <clocale>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <string_view>

#include "common/file_util.h"
#include "common/stored_text.h"

namespace orv {

struct IniFile::Impl {
    CSimpleIniA ini{false, false, false};  // single-byte, one value per key, no multi-line values
};

IniFile::IniFile() : impl_(std::make_unique<Impl>()) { impl_->ini.SetSpaces(false); }
IniFile::~IniFile() = default;

bool IniFile::load(const std::string& path) {
    impl_->ini.Reset();
    const auto text = readWholeFile(path);
    if (!text) return false;
    loadFromText(*text);
    return true;
}

namespace {

// A section line without its "]" names the section up to the line's end, as Windows reads it. Left as it
// is, the parser would keep it as a stray line that grows by one more line at every save.
std::string withSectionsClosed(const std::string& text) {
    std::string out;
    out.reserve(text.size());
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find_first_of("\r\n", start);
        if (end == std::string::npos) end = text.size();
        const std::string_view line(text.data() + start, end - start);
        out.append(line);
        const size_t first = line.find_first_not_of(" \t");
        if (first != std::string_view::npos && line[first] == '[' && line.find(']') == std::string_view::npos)
            out += ']';
        size_t next = end;
        while (next < text.size() && (text[next] == '\r' || text[next] == '\n')) ++next;
        out.append(text, end, next - end);
        start = next;
    }
    return out;
}

}  // namespace

void IniFile::loadFromText(const std::string& text) {
    impl_->ini.Reset();
    // SimpleIni stops at a NUL byte; a damaged file must still yield what it holds before it.
    // The parser takes one UTF-8 signature off the front (a file of another editor); take them all, or a
    // key that begins with those bytes would lose three of them at every save.
    size_t start = 0;
    while (text.compare(start, 3, "\xEF\xBB\xBF") == 0) start += 3;
    const std::string closed = withSectionsClosed(text.substr(start));
    impl_->ini.LoadData(closed.data(), closed.size());
}

std::string IniFile::toText() const {
    std::string raw;
    impl_->ini.Save(raw, false);
    std::string out;
    out.reserve(raw.size() + raw.size() / 16);
    for (size_t i = 0; i < raw.size(); ++i) {
        if (raw[i] == '\n' && (i == 0 || raw[i - 1] != '\r')) out += '\r';
        out += raw[i];
    }
    // One blank line between sections is enough.
    for (size_t pos; (pos = out.find("\r\n\r\n\r\n")) != std::string::npos;) out.erase(pos, 2);
    // Nor any before the first (a section of no name writes none of its own).
    while (out.starts_with("\r\n")) out.erase(0, 2);
    return out;
}

void IniFile::save(const std::string& path) const { writeFileIfChanged(path, toText()); }

bool IniFile::hasKey(const std::string& section, const std::string& key) const {
    return impl_->ini.GetValue(section.c_str(), key.c_str(), nullptr) != nullptr;
}

bool IniFile::hasSection(const std::string& section) const { return impl_->ini.GetSection(section.c_str()) != nullptr; }

std::optional<std::string> IniFile::value(const std::string& section, const std::string& key) const {
    const char* v = impl_->ini.GetValue(section.c_str(), key.c_str(), nullptr);
    if (!v) return std::nullopt;
    return std::string(v);
}

std::string IniFile::readString(const std::string& section, const std::string& key, const std::string& def) const {
    const auto v = value(section, key);
    return v ? decodeStoredText(*v) : def;
}

std::optional<std::int32_t> parseIniInteger(const std::string& text) {
    size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    int base = 10;
    if (i + 1 < text.size() && text[i] == '0' && (text[i + 1] == 'x' || text[i + 1] == 'X')) {
        base = 16;
        i += 2;
    } else if (i < text.size() && text[i] == '$') {
        base = 16;
        ++i;
    }
    if (i >= text.size()) return std::nullopt;
    std::int64_t v = 0;
    for (; i < text.size(); ++i) {
        const char c = text[i];
        int digit;
        if (c >= '0' && c <= '9') digit = c - '0';
        else if (base == 16 && c >= 'a' && c <= 'f') digit = c - 'a' + 10;
        else if (base == 16 && c >= 'A' && c <= 'F') digit = c - 'A' + 10;
        else return std::nullopt;
        v = v * base + digit;
        if (v > 0xFFFFFFFFLL) return std::nullopt;
    }
    if (negative) v = -v;
    // Hexadecimal values may spell a negative 32-bit number ("0x8000000F").
    if (base == 16 && !negative && v > std::numeric_limits<std::int32_t>::max())
        return static_cast<std::int32_t>(static_cast<std::uint32_t>(v));
    if (v < std::numeric_limits<std::int32_t>::min() || v > std::numeric_limits<std::int32_t>::max())
        return std::nullopt;
    return static_cast<std::int32_t>(v);
}

std::int32_t IniFile::readInteger(const std::string& section, const std::string& key, std::int32_t def) const {
    const auto v = value(section, key);
    if (!v) return def;
    return parseIniInteger(*v).value_or(def);
}

bool IniFile::readBool(const std::string& section, const std::string& key, bool def) const {
    return readInteger(section, key, def ? 1 : 0) != 0;
}

std::optional<double> parseIniReal(const std::string& text) {
    const size_t start = text.find_first_not_of(' ');
    if (start == std::string::npos) return std::nullopt;
    std::string t = text.substr(start);
    // Either separator reads, whatever the process's locale: a file may come from a system with the other.
    for (char& c : t) {
        if (c == ',') c = '.';
        // Plain decimals only: no "inf", "nan" or hexadecimal.
        if (!(c >= '0' && c <= '9') && c != '.' && c != '-' && c != '+' && c != 'e' && c != 'E') return std::nullopt;
    }
    const char* first = t.data();
    const char* const last = first + t.size();
    if (*first == '+' && ++first != last && (*first == '+' || *first == '-')) return std::nullopt;
    double v = 0;
    const auto [end, error] = std::from_chars(first, last, v, std::chars_format::general);
    if (error != std::errc() || end != last || !std::isfinite(v)) return std::nullopt;
    return v;
}

std::string formatIniReal(double value, char separator) {
    char buf[64];
    const auto [end, error] = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::general, 15);
    std::string out = error == std::errc() ? std::string(buf, end) : std::string("0");
    std::replace(out.begin(), out.end(), '.', separator);
    return out;
}

char systemDecimalSeparator() {
    // The windows take the system's locale at start; a separator of more than one byte is no use here.
    const std::lconv* conv = std::localeconv();
    if (conv && conv->decimal_point && conv->decimal_point[0] != '\0' && conv->decimal_point[1] == '\0')
        return conv->decimal_point[0];
    return '.';
}

double IniFile::readReal(const std::string& section, const std::string& key, double def) const {
    const auto v = value(section, key);
    if (!v) return def;
    return parseIniReal(*v).value_or(def);
}

void IniFile::writeString(const std::string& section, const std::string& key, const std::string& v) {
    writeValue(section, key, encodeStoredText(v));
}

void IniFile::writeValue(const std::string& section, const std::string& key, const std::string& v) {
    impl_->ini.SetValue(section.c_str(), key.c_str(), v.c_str());
}

void IniFile::writeInteger(const std::string& section, const std::string& key, std::int64_t v) {
    writeString(section, key, std::to_string(v));
}

void IniFile::writeBool(const std::string& section, const std::string& key, bool v) {
    writeString(section, key, v ? "1" : "0");
}

void IniFile::writeReal(const std::string& section, const std::string& key, double v) {
    writeString(section, key, formatIniReal(v, systemDecimalSeparator()));
}

void IniFile::deleteKey(const std::string& section, const std::string& key) {
    impl_->ini.Delete(section.c_str(), key.c_str());
}

void IniFile::deleteSection(const std::string& section) { impl_->ini.Delete(section.c_str(), nullptr); }

std::vector<std::string> IniFile::keys(const std::string& section) const {
    CSimpleIniA::TNamesDepend names;
    impl_->ini.GetAllKeys(section.c_str(), names);
    names.sort(CSimpleIniA::Entry::LoadOrder());
    std::vector<std::string> out;
    for (const auto& n : names) out.emplace_back(n.pItem);
    return out;
}

}  // namespace orv
