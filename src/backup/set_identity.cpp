#include "backup/set_identity.h"

#include <cstdio>
#include <random>
#include <set>

#include <sys/random.h>

#include "backup/backup_set.h"
#include "common/day_number.h"

namespace orv {
namespace {

constexpr std::string_view kHeading = "Orvella backup set";
constexpr std::int64_t kDaySeconds = 86400;
// Day numbers count from 30 December 1899; 1 January 1970 is day 25569.
constexpr int kEpochDay = 25569;

// Digits only, no leading zero but for "0" itself, within the type.
std::optional<std::uint64_t> canonicalNumber(std::string_view text, std::uint64_t max) {
    if (text.empty() || text.size() > 20 || (text.size() > 1 && text[0] == '0')) return std::nullopt;
    std::uint64_t v = 0;
    for (const char c : text) {
        if (c < '0' || c > '9') return std::nullopt;
        const auto d = static_cast<std::uint64_t>(c - '0');
        if (v > (max - d) / 10) return std::nullopt;
        v = v * 10 + d;
    }
    return v;
}

bool lowerHex(std::string_view text, size_t digits) {
    if (text.size() != digits) return false;
    for (const char c : text)
        if (!((c >= '0' && c <= '9') || (c >= 'a' && c <= 'f'))) return false;
    return true;
}

std::string hex32(std::uint32_t v) {
    char buffer[9];
    std::snprintf(buffer, sizeof buffer, "%08x", v);
    return buffer;
}

std::string sumLine(std::string_view key, const PieceSum& p) {
    return std::string(key) + "=" + std::to_string(p.length) + "," + hex32(p.crc) + "," + p.name + "\r\n";
}

// "<length>,<crc>,<name>"; the name is everything after the second comma.
std::optional<PieceSum> readSum(std::string_view text) {
    const size_t a = text.find(',');
    const size_t b = a == std::string_view::npos ? a : text.find(',', a + 1);
    if (b == std::string_view::npos) return std::nullopt;
    const auto length = canonicalNumber(text.substr(0, a), UINT64_MAX);
    const std::string_view crc = text.substr(a + 1, b - a - 1);
    if (!length || !lowerHex(crc, 8)) return std::nullopt;
    return PieceSum{std::string(text.substr(b + 1)), *length, static_cast<std::uint32_t>(std::stoul(std::string(crc), nullptr, 16))};
}

}  // namespace

std::string utcTimeText(std::int64_t seconds) {
    const std::int64_t days = seconds >= 0 ? seconds / kDaySeconds : (seconds - kDaySeconds + 1) / kDaySeconds;
    const std::int64_t rest = seconds - days * kDaySeconds;
    const Ymd ymd = toYmd(static_cast<int>(days + kEpochDay));
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%04d-%02d-%02dT%02d:%02d:%02dZ", ymd.year, ymd.month, ymd.day,
                  static_cast<int>(rest / 3600), static_cast<int>(rest / 60 % 60), static_cast<int>(rest % 60));
    return buffer;
}

std::optional<std::int64_t> readUtcTime(std::string_view t) {
    if (t.size() != 20 || t[4] != '-' || t[7] != '-' || t[10] != 'T' || t[13] != ':' || t[16] != ':' || t[19] != 'Z')
        return std::nullopt;
    const auto field = [&](size_t at, size_t n) -> int {
        int v = 0;
        for (size_t i = at; i < at + n; ++i) {
            if (t[i] < '0' || t[i] > '9') return -1;
            v = v * 10 + (t[i] - '0');
        }
        return v;
    };
    const int year = field(0, 4), month = field(5, 2), day = field(8, 2);
    const int hour = field(11, 2), minute = field(14, 2), second = field(17, 2);
    if (year < 1970 || hour < 0 || hour > 23 || minute < 0 || minute > 59 || second < 0 || second > 59)
        return std::nullopt;
    const auto dn = tryDayNumber(year, month, day);
    if (!dn) return std::nullopt;
    return (static_cast<std::int64_t>(*dn) - kEpochDay) * kDaySeconds + hour * 3600 + minute * 60 + second;
}

std::string newSetId() {
    unsigned char bytes[16] = {};
    if (::getrandom(bytes, sizeof bytes, 0) != static_cast<ssize_t>(sizeof bytes)) {
        std::random_device device;
        for (auto& b : bytes) b = static_cast<unsigned char>(device());
    }
    std::string id;
    for (const unsigned char b : bytes) {
        char pair[3];
        std::snprintf(pair, sizeof pair, "%02x", b);
        id += pair;
    }
    return id;
}

std::string setIdentityBytes(const SetIdentity& s) {
    std::string out = std::string(kHeading) + "\r\n";
    out += "Set=" + s.set + "\r\n";
    out += "Made=" + utcTimeText(s.made) + "\r\n";
    out += "Disk=" + std::to_string(s.disk) + "\r\n";
    out += "Disks=" + std::to_string(s.disks) + "\r\n";
    for (const auto& p : s.pieces) out += sumLine("Piece", p);
    for (const auto& f : s.carried) out += sumLine("File", f);
    return out;
}

std::optional<SetIdentity> readSetIdentity(std::string_view bytes) {
    std::vector<std::string_view> lines;
    for (size_t at = 0; at < bytes.size();) {
        const size_t end = bytes.find("\r\n", at);
        if (end == std::string_view::npos) return std::nullopt;  // every line ends with CR LF
        lines.push_back(bytes.substr(at, end - at));
        at = end + 2;
    }
    if (lines.size() < 5 || lines[0] != kHeading) return std::nullopt;
    const auto value = [&](size_t i, std::string_view key) -> std::optional<std::string_view> {
        if (!lines[i].starts_with(key) || lines[i].size() <= key.size() || lines[i][key.size()] != '=')
            return std::nullopt;
        return lines[i].substr(key.size() + 1);
    };
    SetIdentity s;
    const auto set = value(1, "Set");
    const auto made = value(2, "Made");
    const auto disk = value(3, "Disk");
    const auto disks = value(4, "Disks");
    if (!set || !lowerHex(*set, 32) || !made || !disk || !disks) return std::nullopt;
    const auto time = readUtcTime(*made);
    const auto n = canonicalNumber(*disks, 0x7fffffff);
    const auto k = canonicalNumber(*disk, 0x7fffffff);
    if (!time || !n || !k || *n < 1 || *k < 1 || *k > *n) return std::nullopt;
    s.set = std::string(*set);
    s.made = *time;
    s.disk = static_cast<int>(*k);
    s.disks = static_cast<int>(*n);

    std::set<std::string> names;  // folded, as a disk tells names apart
    for (size_t i = 5; i < lines.size(); ++i) {
        const bool piece = value(i, "Piece").has_value();
        const auto text = piece ? value(i, "Piece") : value(i, "File");
        if (!text) return std::nullopt;
        auto sum = readSum(*text);
        if (!sum) return std::nullopt;
        if (piece) {
            // Pieces come before the carried files, each a calendar file once.
            if (!s.carried.empty() || !isCalendarFileName(sum->name)) return std::nullopt;
        } else if (s.disk != 1 || (sum->name != kUsersFileName && sum->name != kEventsFileName)) {
            return std::nullopt;
        }
        if (!names.insert(fileNameKey(sum->name)).second) return std::nullopt;
        (piece ? s.pieces : s.carried).push_back(std::move(*sum));
    }
    return s;
}

}  // namespace orv
