#include "print/calendar_page_layout.h"

#include <cmath>

namespace orv {
namespace {

constexpr PictureBox kSmallPage{382, 254, 270};
constexpr PictureBox kLargePage{382, 254, 266};

int nearest(double value) { return static_cast<int>(std::lround(value)); }

}  // namespace

std::optional<PictureRect> CalendarPictureFrame(int pictureWidth, int pictureHeight, int calendarSize) {
    if (calendarSize != 0 && calendarSize != 1) return std::nullopt;
    return FitPicture(pictureWidth, pictureHeight, calendarSize == 0 ? kSmallPage : kLargePage, kCalendarPanelWidth);
}

std::optional<PrintSize> FitToPage(int width, int height, int pageWidth, int pageHeight) {
    if (width <= 0 || height <= 0 || pageWidth <= 0 || pageHeight <= 0) return std::nullopt;
    const double w = width, h = height;
    PrintSize size;
    size.width = nearest(w * pageHeight / h);
    if (size.width < pageWidth) {
        size.height = pageHeight;
    } else {
        size.width = pageWidth;
        size.height = nearest(h * pageWidth / w);
    }
    return size;
}

}  // namespace orv
