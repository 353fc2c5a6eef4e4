#pragma once
// The background textures: five 50 x 50 bitmaps (brown, pink, green, blue, grey) for the main window's panels,
// chosen by Tile 0..4, and a sixth, white one for the print preview. They ship in the program folder's "Images",
// each also drawn at twice the size ("Brown@2x.bmp") for screens of twice the pixel density.

#include <QImage>
#include <array>
#include <string>

namespace orv {

class BackgroundTextures {
public:
    static constexpr int kCount = 6;  // i1 .. i6
    static constexpr int kWhite = 5;

    // Loads the six files of folder, and their dense twins when one is first asked for; a missing or
    // unreadable one stays empty (nothing is painted for it), a missing twin leaves the plain one in its place.
    void load(const std::string& folder);

    // Index 0..5 (i1 .. i6); an empty image for any other. For a pixel density (device pixel ratio) of 1.5
    // or more, the dense twin, which paints at the same 50 x 50 on the screen.
    const QImage& image(int index, qreal density = 1.0) const;
    // The texture for a Tile value: 0..4; an empty image for 5 ("Your System Colors") or anything else.
    const QImage& forTile(int tile, qreal density = 1.0) const;

    static const char* fileName(int index);  // "Brown.bmp" ... "White.bmp"

private:
    void loadDense() const;

    std::string folder_;
    std::array<QImage, kCount> images_;
    mutable std::array<QImage, kCount> dense_;
    mutable bool denseLoaded_ = false;
    QImage none_;
};

// The program's textures, built into the executable and loaded at first use.
BackgroundTextures& backgroundTextures();

}  // namespace orv
