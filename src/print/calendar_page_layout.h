#pragma once
// The picture calendar page in numbers: the preview's fixed size, where its picture frame goes for each
// calendar size, and how large the page comes out on a sheet of paper.

#include <optional>

#include "app/picture_layout.h"

namespace orv {

// The preview's client area, which is what gets printed.
constexpr int kCalendarPageWidth = 404;
constexpr int kCalendarPageHeight = 531;
// The page panel under the title strip; the frame is centred across it.
constexpr int kCalendarPanelWidth = 404;

// The frame for a picture of W x H. Calendar size 0 (small) or 1 (large); any other size, or a picture
// without pixels, keeps the frame where it is: nullopt.
std::optional<PictureRect> CalendarPictureFrame(int pictureWidth, int pictureHeight, int calendarSize);

struct PrintSize {
    int width = 0;
    int height = 0;
    friend bool operator==(const PrintSize&, const PrintSize&) = default;
};

// A w x h image fitted to a pageWidth x pageHeight sheet with its proportions kept, from the sheet's top
// left corner. nullopt when either has no area: nothing can be scaled onto or from it.
std::optional<PrintSize> FitToPage(int width, int height, int pageWidth, int pageHeight);

}  // namespace orv
