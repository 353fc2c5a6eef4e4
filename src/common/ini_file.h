#pragma once
// An initialization file with Windows profile semantics: sections and keys compared ignoring case,
// other lines kept, integers in decimal or "0x" hexadecimal, booleans as integers, reals in general
// notation with the system's decimal separator. A value that is missing or unusable reads as the caller's
// default.

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace orv {

class IniFile {
public:
    IniFile();
    ~IniFile();
    IniFile(const IniFile&) = delete;
    IniFile& operator=(const IniFile&) = delete;

    // Reads path; a missing file gives an empty profile. Returns whether the file existed.
    // Throws IoError only when an existing file cannot be read.
    bool load(const std::string& path);
    void loadFromText(const std::string& text);

    // Writes the whole profile to path (CR LF lines) through a temporary file.
    void save(const std::string& path) const;
    std::string toText() const;

    bool hasKey(const std::string& section, const std::string& key) const;
    bool hasSection(const std::string& section) const;
    // The value's bytes as the file holds them (a file name, which is bytes on Linux).
    std::optional<std::string> value(const std::string& section, const std::string& key) const;

    // Strings are texts (UTF-8), stored as common/stored_text.h says.
    std::string readString(const std::string& section, const std::string& key, const std::string& def) const;
    std::int32_t readInteger(const std::string& section, const std::string& key, std::int32_t def) const;
    bool readBool(const std::string& section, const std::string& key, bool def) const;
    double readReal(const std::string& section, const std::string& key, double def) const;

    void writeString(const std::string& section, const std::string& key, const std::string& value);
    void writeValue(const std::string& section, const std::string& key, const std::string& bytes);
    void writeInteger(const std::string& section, const std::string& key, std::int64_t value);
    void writeBool(const std::string& section, const std::string& key, bool value);
    void writeReal(const std::string& section, const std::string& key, double value);

    void deleteKey(const std::string& section, const std::string& key);
    void deleteSection(const std::string& section);  // with every key in it
    std::vector<std::string> keys(const std::string& section) const;

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

// The integer and real rules on their own, for other readers of the same values.
std::optional<std::int32_t> parseIniInteger(const std::string& text);
// Reals read with "." or "," and are written in general notation with up to 15 significant digits and the
// given separator, whatever the process's locale.
std::optional<double> parseIniReal(const std::string& text);
std::string formatIniReal(double value, char separator = '.');
// The decimal separator of the system's number format, as the process has taken it over.
char systemDecimalSeparator();

}  // namespace orv
