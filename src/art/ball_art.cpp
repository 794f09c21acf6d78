#include "art/ball_art.hpp"

#include "art/palette.hpp"
#include "sfml_compat.hpp"

namespace {

constexpr int wordLines = 3;
constexpr int lettersPerLine = 4;

bool isBlackInside(int x, int y) {
    const int size = static_cast<int>(ballImageSize);
    return x >= 0 && x < size && y >= 0 && y < size && ballPattern[y][x] == 'B';
}

void paintDisc(sf::Image& image) {
    for (unsigned y = 0; y < ballImageSize; ++y)
        for (unsigned x = 0; x < ballImageSize; ++x) {
            if (ballPattern[y][x] == 'W') compat::setPixel(image, x, y, palette::white);
            if (ballPattern[y][x] == 'B') compat::setPixel(image, x, y, palette::black);
        }
}

// Lit cells that would land on the rim or outside the image are skipped, so
// the third line paints nothing at all.
void paintLetter(sf::Image& image, const Glyph& glyph, int x0, int y0) {
    for (int r = 0; r < 5; ++r)
        for (int c = 0; c < 3; ++c) {
            const int x = x0 + c;
            const int y = y0 + r;
            if (glyph[r][c] == '1' && isBlackInside(x, y))
                compat::setPixel(image, static_cast<unsigned>(x), static_cast<unsigned>(y),
                                 palette::white);
        }
}

}  // namespace

sf::Image paintBall() {
    sf::Image image = compat::makeImage(ballImageSize, ballImageSize);
    paintDisc(image);
    for (int k = 0; k < wordLines; ++k)
        for (int i = 0; i < lettersPerLine; ++i)
            paintLetter(image, ballGlyphs[i % 4], 4 * i + 1, 6 * k + 2);
    return image;
}
