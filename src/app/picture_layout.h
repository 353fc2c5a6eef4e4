#pragma once
// Where the month's picture frame goes and how large it is, from the picture's natural proportions; and the
// size of the enlarged picture on the screen.

#include <optional>

namespace orv {

struct PictureRect {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
    friend bool operator==(const PictureRect&, const PictureRect&) = default;
};

// The box a picture frame is fitted into: a picture wider than 3:2 takes the box's width, any other its height
// (its width then made even); the frame is centred across a panel and placed in the middle of referenceHeight
// less 2 pixels from the top.
struct PictureBox {
    int width = 0;
    int height = 0;
    int referenceHeight = 0;
};

// A picture decoded at least this many pixels wide and high fills the largest frame, whatever its
// proportions (a frame is at most the large box's height high, and wider than that only for a picture wider
// than 3:2). The pictures are drawn at print size; the window's decoding need not be.
constexpr int kFrameDecodeSide = 300;

// nullopt for a picture without pixels.
std::optional<PictureRect> FitPicture(int pictureWidth, int pictureHeight, const PictureBox& box, int panelWidth);

// The size group as the Options window holds it: a stored value above 1 acts as 1, a negative one selects
// neither (-1).
int sizeGroupIndex(int storedSize);

// The picture frame for a picture of W x H inside a client panel panel1Width wide. Size 0 gives the small
// box, 1 the large one; any other size (or a picture without pixels) leaves the frame as it is: nullopt.
std::optional<PictureRect> LayoutPicture(int pictureWidth, int pictureHeight, int size, int panel1Width);

// The enlarged picture centred on a screen of screenWidth x screenHeight, 10 pixels clear of the edges on the
// side it fills, and never larger than the screen.
std::optional<PictureRect> EnlargedPicture(int pictureWidth, int pictureHeight, int screenWidth, int screenHeight);

}  // namespace orv
