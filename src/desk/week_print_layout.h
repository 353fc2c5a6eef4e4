#pragma once
// The week page's landscape sheet in numbers. Every position is given in millimetres from the printable
// area's top left corner and turned into printer pixels with whole pixels per millimetre, the sheet moved
// 5 mm right and 1 mm down. Two layouts: Monday to Friday only, and with a Saturday/Sunday column whose
// cells are halves stacked in each week row.

#include <optional>
#include <string>
#include <vector>

namespace orv {

enum class TextAnchor { Left, Right, Centre };

struct MmPoint {
    int x = 0;
    int y = 0;
    friend bool operator==(const MmPoint&, const MmPoint&) = default;
};

struct MmRect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
    friend bool operator==(const MmRect&, const MmRect&) = default;
};

class WeekPrintLayout {
public:
    struct Frame {
        MmRect mm;
        int pen = 0;  // line width in printer pixels
    };
    struct Heading {
        std::string text;
        MmPoint at;  // centre of the text; y is its bottom edge
    };

    // The printable area: its size in printer pixels and in millimetres.
    WeekPrintLayout(int widthPixels, int heightPixels, int widthMm, int heightMm, bool withWeekends);

    // A page of no size (or one of less than a pixel per millimetre) cannot take the sheet.
    bool usable() const { return ppmmX_ > 0 && ppmmY_ > 0; }
    bool withWeekends() const { return weekends_; }
    int ppmmX() const { return ppmmX_; }
    int ppmmY() const { return ppmmY_; }

    int MmToX(int x) const { return ppmmX_ * (x + 5); }
    int MmToY(int y) const { return ppmmY_ * (y + 1); }
    // Point sizes print at this many pixels per inch.
    int fontResolution() const { return 40 * ppmmY_; }
    // Printer pixels per screen pixel of a font taken from the window.
    double FontScale() const { return 40.0 * ppmmY_ / 117; }
    int screenFontHeight(int screenPixels) const;
    int pointFontHeight(int points) const;

    // Outer frame, header box, weekday cells row by row, then the weekend half-cells.
    std::vector<Frame> frames() const;
    std::vector<Heading> dayNames() const;

    static constexpr MmPoint kCalendarName{6, 11};  // left-anchored
    static constexpr MmPoint kTitle{248, 11};       // right-anchored
    // Footer line 1 or 2, right-anchored.
    MmPoint footer(int line) const;

    // Cells 1..28 as the page numbers them (row (i - 1) div 7, column (i - 1) mod 7, 5 Saturday, 6 Sunday).
    bool printsCell(int cell) const;
    // Centre of the cell's day number; nullopt for a cell that is not printed.
    std::optional<MmPoint> dayNumberAt(int cell) const;
    int textLeft(int cell) const;   // millimetres
    int textRight(int cell) const;  // millimetres: where the cell's frame ends
    // In printer pixels, for text lines lineHeight pixels apart: the top of the first line and how many lines
    // the cell takes (a weekend half-cell takes half a cell's).
    int firstLineTop(int cell, int lineHeight) const;
    int lineCount(int cell, int lineHeight) const;

    // Where a text of the given width starts when anchored at x (printer pixels).
    static int anchoredLeft(TextAnchor anchor, int x, int textWidth);

private:
    int ppmmX_ = 0;
    int ppmmY_ = 0;
    bool weekends_ = true;
};

}  // namespace orv
