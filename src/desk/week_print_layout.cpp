#include "desk/week_print_layout.h"

namespace orv {
namespace {

constexpr int kRowPitch = 40;  // mm per week row
constexpr int kCellsPerRow = 7;

int rowOf(int cell) { return (cell - 1) / kCellsPerRow; }
int columnOf(int cell) { return (cell - 1) % kCellsPerRow; }
bool validCell(int cell) { return cell >= 1 && cell <= 4 * kCellsPerRow; }

// Column pitch and the sheet's right edge of each layout.
struct Grid {
    int pitch;
    int right;
};
constexpr Grid kWeekdays{50, 254};
constexpr Grid kWeekends{42, 256};

}  // namespace

WeekPrintLayout::WeekPrintLayout(int widthPixels, int heightPixels, int widthMm, int heightMm, bool withWeekends)
    : weekends_(withWeekends) {
    if (widthPixels > 0 && heightPixels > 0 && widthMm > 0 && heightMm > 0) {
        ppmmX_ = widthPixels / widthMm;
        ppmmY_ = heightPixels / heightMm;
    }
}

int WeekPrintLayout::screenFontHeight(int screenPixels) const { return static_cast<int>(screenPixels * FontScale()); }

int WeekPrintLayout::pointFontHeight(int points) const {
    // Rounded as the system turns a point size into pixels.
    return (points * fontResolution() + 36) / 72;
}

std::vector<WeekPrintLayout::Frame> WeekPrintLayout::frames() const {
    const Grid g = weekends_ ? kWeekends : kWeekdays;
    std::vector<Frame> out;
    out.push_back({{0, 0, g.right, 193}, 7});
    out.push_back({{2, 2, g.right - 2, 12}, 5});
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 5; ++c)
            out.push_back({{2 + g.pitch * c, 22 + kRowPitch * r, 2 + g.pitch * (c + 1), 62 + kRowPitch * r}, 5});
    if (weekends_)
        for (int k = 0; k < 8; ++k) out.push_back({{212, 22 + 20 * k, 254, 42 + 20 * k}, 5});
    return out;
}

std::vector<WeekPrintLayout::Heading> WeekPrintLayout::dayNames() const {
    // Friday's heading stands right of its column's centre in the five-day layout.
    if (!weekends_)
        return {{"Monday", {26, 20}},
                {"Tuesday", {76, 20}},
                {"Wednesday", {126, 20}},
                {"Thursday", {176, 20}},
                {"Friday", {236, 20}}};
    return {{"Monday", {22, 20}},    {"Tuesday", {64, 20}}, {"Wednesday", {106, 20}},
            {"Thursday", {146, 20}}, {"Friday", {188, 20}}, {"Sat/Sun", {230, 20}}};
}

MmPoint WeekPrintLayout::footer(int line) const { return {weekends_ ? 255 : 252, line <= 1 ? 188 : 191}; }

bool WeekPrintLayout::printsCell(int cell) const { return validCell(cell) && (weekends_ || columnOf(cell) < 5); }

std::optional<MmPoint> WeekPrintLayout::dayNumberAt(int cell) const {
    if (!printsCell(cell)) return std::nullopt;
    const int r = rowOf(cell), c = columnOf(cell);
    if (c == 5) return MmPoint{250, 28 + kRowPitch * r};
    if (c == 6) return MmPoint{250, 48 + kRowPitch * r};
    return weekends_ ? MmPoint{40 + 42 * c, 28 + kRowPitch * r} : MmPoint{48 + 50 * c, 28 + kRowPitch * r};
}

int WeekPrintLayout::textLeft(int cell) const {
    const int c = columnOf(cell);
    if (c >= 5) return 214;
    return 4 + (weekends_ ? 42 : 50) * c;
}

int WeekPrintLayout::textRight(int cell) const {
    const int c = columnOf(cell);
    if (c >= 5) return 254;
    return weekends_ ? 44 + 42 * c : 52 + 50 * c;
}

int WeekPrintLayout::firstLineTop(int cell, int lineHeight) const {
    const int r = rowOf(cell);
    const int topMm = columnOf(cell) == 6 ? 40 + kRowPitch * r : 20 + kRowPitch * r;
    return MmToY(topMm) + lineHeight;
}

int WeekPrintLayout::lineCount(int cell, int lineHeight) const {
    if (!printsCell(cell) || lineHeight <= 0) return 0;
    return (columnOf(cell) >= 5 ? MmToY(19) : MmToY(39)) / lineHeight;
}

int WeekPrintLayout::anchoredLeft(TextAnchor anchor, int x, int textWidth) {
    switch (anchor) {
        case TextAnchor::Right: return x - textWidth;
        case TextAnchor::Centre: return x - textWidth / 2;
        case TextAnchor::Left: break;
    }
    return x;
}

}  // namespace orv
