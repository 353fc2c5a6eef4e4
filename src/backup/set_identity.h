#pragma once
// "DiskSet.inf": the file by which each disk of a backup set knows its set. The set's identity (random),
// when it was made, the disk's number and the count, and the length and CRC-32 of every piece on that
// disk; the first disk also lists the calendar list and the yearly dates it carries. A restore refuses a
// disk of another set, a disk in the wrong place and a damaged piece before anything is written. Text
// lines ended by CR LF, names in UTF-8, every number in one canonical form:
//
//   Orvella backup set
//   Set=<32 lower-case hexadecimal digits>
//   Made=<YYYY-MM-DDTHH:MM:SSZ>
//   Disk=<1..Disks>
//   Disks=<N>
//   Piece=<length>,<crc as 8 lower-case hexadecimal digits>,<calendar file name>   (any number)
//   File=<length>,<crc>,<"CalUsers.DAT" or "Events.dat">                           (first disk only)

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace orv {

inline constexpr std::string_view kSetIdentityName = "DiskSet.inf";
inline constexpr std::string_view kUsersFileName = "CalUsers.DAT";
inline constexpr std::string_view kEventsFileName = "Events.dat";
// Far more than the lines of any set; far less than would strain the memory.
inline constexpr std::size_t kMaxSetIdentityBytes = 1 << 20;

struct PieceSum {
    std::string name;  // UTF-8
    std::uint64_t length = 0;
    std::uint32_t crc = 0;
    bool operator==(const PieceSum&) const = default;
};

struct SetIdentity {
    std::string set;        // 32 lower-case hexadecimal digits
    std::int64_t made = 0;  // seconds since 1970-01-01 00:00 UTC
    int disk = 1;           // counting from 1, as the disks are labelled
    int disks = 1;
    std::vector<PieceSum> pieces;   // the calendar pieces on this disk, in the set's order
    std::vector<PieceSum> carried;  // files the first disk carries besides the calendars
    bool operator==(const SetIdentity&) const = default;
};

std::string setIdentityBytes(const SetIdentity& identity);
// nullopt unless the bytes are exactly what setIdentityBytes writes for some identity: every line in its
// place, each piece a calendar file name once, carried files only on the first disk.
std::optional<SetIdentity> readSetIdentity(std::string_view bytes);

// A fresh identity for a new set, from the system's random source.
std::string newSetId();

// "2026-03-11T14:05:09Z" and back; nullopt for anything else (years 1970..9999).
std::string utcTimeText(std::int64_t seconds);
std::optional<std::int64_t> readUtcTime(std::string_view text);

}  // namespace orv
