#pragma once
// Colours as the settings file stores them: signed 32-bit Windows colour values, 0x00BBGGRR for a plain
// colour and 0x80000000 + index for a system colour.

#include <cstdint>

namespace orv {

using WinColor = std::int32_t;

constexpr WinColor winRgb(int r, int g, int b) { return WinColor(r | (g << 8) | (b << 16)); }
constexpr WinColor systemColor(int index) { return WinColor(std::uint32_t(0x80000000u) + std::uint32_t(index)); }
constexpr bool isSystemColor(WinColor c) { return (std::uint32_t(c) & 0xFF000000u) == 0x80000000u; }
constexpr int systemColorIndex(WinColor c) { return int(std::uint32_t(c) & 0xFFu); }
constexpr int redOf(WinColor c) { return c & 0xFF; }
constexpr int greenOf(WinColor c) { return (c >> 8) & 0xFF; }
constexpr int blueOf(WinColor c) { return (c >> 16) & 0xFF; }

namespace wincolor {
constexpr WinColor Black = winRgb(0, 0, 0);
constexpr WinColor White = winRgb(255, 255, 255);
constexpr WinColor Red = winRgb(255, 0, 0);
constexpr WinColor Green = winRgb(0, 128, 0);
constexpr WinColor Lime = winRgb(0, 255, 0);
constexpr WinColor Yellow = winRgb(255, 255, 0);
constexpr WinColor Navy = winRgb(0, 0, 128);
constexpr WinColor Blue = winRgb(0, 0, 255);
constexpr WinColor Grey = winRgb(128, 128, 128);
constexpr WinColor Silver = winRgb(192, 192, 192);

// System colours by their Windows index.
constexpr WinColor ActiveCaption = systemColor(2);
constexpr WinColor Window = systemColor(5);
constexpr WinColor WindowText = systemColor(8);
constexpr WinColor Highlight = systemColor(13);
constexpr WinColor HighlightText = systemColor(14);
constexpr WinColor BtnFace = systemColor(15);  // -2147483633
constexpr WinColor CaptionText = systemColor(9);
constexpr WinColor BtnHighlight = systemColor(20);
}  // namespace wincolor

static_assert(wincolor::BtnFace == -2147483633);

}  // namespace orv
