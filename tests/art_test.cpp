// Every picture against its drawing: colour counts and the pixels where a
// wrong bound or comparison would show.

#include "art/ball_art.hpp"
#include "art/bar_art.hpp"
#include "art/field_art.hpp"
#include "art/flower_art.hpp"
#include "art/life_hearts.hpp"
#include "art/obstacle_art.hpp"
#include "art/palette.hpp"
#include "image_counts.hpp"

#include <gtest/gtest.h>

namespace {

const Rgba crimson = rgba(palette::crimson);
const Rgba black = rgba(palette::black);
const Rgba white = rgba(palette::white);

void expectOnlyOpaqueOrEmpty(const sf::Image& image) {
    for (const auto& [colour, count] : colourCounts(image)) {
        const int alpha = std::get<3>(colour);
        EXPECT_TRUE(alpha == 0 || alpha == 255) << "alpha " << alpha << " on " << count;
        if (alpha == 0) {
            EXPECT_EQ(colour, transparent);
        }
    }
}

}  // namespace

TEST(Art, Bar) {
    const sf::Image bar = paintBar();
    ASSERT_EQ(bar.getSize(), sf::Vector2u(80, 8));
    const auto counts = colourCounts(bar);
    EXPECT_EQ(counts.at(crimson), 168 + 3 * 19);   // border, then three hearts
    EXPECT_EQ(counts.at(black), 44 * 6 - 2 * 19);  // two hearts lie on the black
    EXPECT_EQ(counts.at(transparent), 640 - 225 - 226);
    EXPECT_EQ(pixelAt(bar, 45, 3), black);
    EXPECT_EQ(pixelAt(bar, 46, 3), transparent);
    for (unsigned y = 0; y < 8; ++y) {
        EXPECT_EQ(pixelAt(bar, 0, y), transparent);
        EXPECT_EQ(pixelAt(bar, 79, y), transparent);
    }
    EXPECT_EQ(pixelAt(bar, 1, 0), crimson);
    EXPECT_EQ(pixelAt(bar, 78, 7), crimson);
    EXPECT_EQ(pixelAt(bar, 65, 3), crimson);
    EXPECT_EQ(pixelAt(bar, 61, 3), transparent);
    EXPECT_EQ(pixelAt(bar, 69, 3), transparent);
    EXPECT_EQ(pixelAt(bar, 9, 2), black);  // the gap at the top of a heart
    EXPECT_EQ(pixelAt(bar, 8, 2), crimson);
    expectOnlyOpaqueOrEmpty(bar);
}

TEST(Art, BallDiscAndWord) {
    const sf::Image ball = paintBall();
    ASSERT_EQ(ball.getSize(), sf::Vector2u(16, 16));
    const auto counts = colourCounts(ball);
    // The disc is 42 white and 154 black; the word turns 59 black pixels white.
    EXPECT_EQ(counts.at(white), 42 + 59);
    EXPECT_EQ(counts.at(black), 154 - 59);
    for (unsigned x = 0; x < 16; ++x) EXPECT_EQ(pixelAt(ball, x, 15), transparent);
    // The T's top bar: only the cell on the black inside is painted.
    EXPECT_EQ(pixelAt(ball, 1, 2), transparent);
    EXPECT_EQ(pixelAt(ball, 2, 2), white);  // the rim
    EXPECT_EQ(pixelAt(ball, 3, 2), white);
    EXPECT_EQ(pixelAt(ball, 2, 3), white);  // the T's stem
    // The word's second line starts at row 8.
    EXPECT_EQ(pixelAt(ball, 1, 8), white);
    EXPECT_EQ(pixelAt(ball, 1, 7), black);
    // The third line (rows 14 to 18) paints nothing: row 14 is all rim.
    EXPECT_EQ(pixelAt(ball, 5, 14), white);
    EXPECT_EQ(pixelAt(ball, 4, 14), transparent);
    EXPECT_EQ(pixelAt(ball, 2, 13), transparent);
    // Column 15 holds no black, so the last letter never reaches it.
    for (unsigned y = 0; y < 16; ++y) {
        const bool rim = y >= 4 && y <= 10;
        EXPECT_EQ(pixelAt(ball, 15, y), rim ? white : transparent) << y;
    }
    expectOnlyOpaqueOrEmpty(ball);
}

TEST(Art, Block) {
    const sf::Image block = paintBlock();
    ASSERT_EQ(block.getSize(), sf::Vector2u(24, 12));
    const auto counts = colourCounts(block);
    EXPECT_EQ(counts.size(), 2u);
    EXPECT_EQ(counts.at(rgba(palette::blockFrame)), 68);
    EXPECT_EQ(counts.at(rgba(palette::blockInside)), 220);
    EXPECT_EQ(pixelAt(block, 23, 11), rgba(palette::blockFrame));
    EXPECT_EQ(pixelAt(block, 1, 1), rgba(palette::blockInside));
}

TEST(Art, Trapezoid) {
    const sf::Image trapezoid = paintTrapezoid();
    ASSERT_EQ(trapezoid.getSize(), sf::Vector2u(28, 24));
    const Rgba edge = rgba(palette::trapezoidEdge);
    const Rgba inside = rgba(palette::trapezoidInside);
    const auto counts = colourCounts(trapezoid);
    EXPECT_EQ(counts.at(edge), 71);
    EXPECT_EQ(counts.at(edge) + counts.at(inside), 324);
    for (unsigned y : {0u, 1u}) {
        EXPECT_EQ(pixelAt(trapezoid, 14, y), edge);
        EXPECT_EQ(pixelAt(trapezoid, 13, y), transparent);
        EXPECT_EQ(pixelAt(trapezoid, 15, y), transparent);
    }
    for (unsigned x = 1; x <= 27; ++x) EXPECT_EQ(pixelAt(trapezoid, x, 23), edge) << x;
    for (unsigned y = 0; y < 24; ++y) EXPECT_EQ(pixelAt(trapezoid, 0, y), transparent) << y;
    // Row 7 has half-width 4: edges at 10 and 18, inside between.
    EXPECT_EQ(pixelAt(trapezoid, 10, 7), edge);
    EXPECT_EQ(pixelAt(trapezoid, 11, 7), inside);
    EXPECT_EQ(pixelAt(trapezoid, 18, 7), edge);
    EXPECT_EQ(pixelAt(trapezoid, 9, 7), transparent);
    expectOnlyOpaqueOrEmpty(trapezoid);
}

TEST(Art, Diamond) {
    const sf::Image diamond = paintDiamond();
    ASSERT_EQ(diamond.getSize(), sf::Vector2u(26, 26));
    const Rgba outline = rgba(palette::diamondOutline);
    const auto counts = colourCounts(diamond);
    EXPECT_EQ(counts.at(outline), 92);
    EXPECT_EQ(counts.at(rgba(palette::diamondInside)), 221);
    for (auto [x, y] : {std::pair{13u, 1u}, {1u, 13u}, {25u, 13u}, {13u, 25u}, {13u, 2u}})
        EXPECT_EQ(pixelAt(diamond, x, y), outline) << x << "," << y;
    EXPECT_EQ(pixelAt(diamond, 13, 3), rgba(palette::diamondInside));  // d = 10
    for (unsigned i = 0; i < 26; ++i) {
        EXPECT_EQ(pixelAt(diamond, i, 0), transparent);
        EXPECT_EQ(pixelAt(diamond, 0, i), transparent);
    }
    expectOnlyOpaqueOrEmpty(diamond);
}

TEST(Art, Heart) {
    const sf::Image heart = paintHeart();
    ASSERT_EQ(heart.getSize(), sf::Vector2u(40, 36));
    const Rgba rim = rgba(palette::heartRim);
    const Rgba inside = rgba(palette::heartInside);
    const auto counts = colourCounts(heart);
    EXPECT_EQ(counts.at(inside), 641);
    EXPECT_EQ(counts.at(rim), 78);
    // The curve is exactly 0 at these six pixels: painted, as rim.
    for (auto [c, r] :
         {std::pair{6u, 4u}, {20u, 4u}, {34u, 4u}, {6u, 18u}, {34u, 18u}, {20u, 32u}}) {
        EXPECT_EQ(heartCurve((static_cast<float>(c) - 20.f) / 14.f,
                             (18.f - static_cast<float>(r)) / 14.f),
                  0.f);
        EXPECT_EQ(pixelAt(heart, c, r), rim) << c << "," << r;
    }
    EXPECT_EQ(pixelAt(heart, 20, 31), inside);
    for (unsigned r : {0u, 33u, 34u, 35u})
        for (unsigned c = 0; c < 40; ++c) EXPECT_EQ(pixelAt(heart, c, r), transparent);
    expectOnlyOpaqueOrEmpty(heart);
}

TEST(Art, Flower) {
    const sf::Image flower = paintFlower();
    ASSERT_EQ(flower.getSize(), sf::Vector2u(24, 24));
    const Rgba petal = rgba(palette::flowerPetal);
    const Rgba centre = rgba(palette::flowerCentre);
    const auto counts = colourCounts(flower);
    EXPECT_EQ(counts.at(petal), 284);
    EXPECT_EQ(counts.at(centre), 20);
    EXPECT_EQ(pixelAt(flower, 19, 12), petal);  // the 21-character rows
    EXPECT_EQ(pixelAt(flower, 19, 15), petal);
    EXPECT_EQ(pixelAt(flower, 19, 13), transparent);
    EXPECT_EQ(pixelAt(flower, 18, 13), petal);
    EXPECT_EQ(pixelAt(flower, 0, 12), transparent);
    EXPECT_EQ(pixelAt(flower, 8, 12), centre);
    for (unsigned y = 0; y < 24; ++y)
        for (unsigned x = 20; x < 24; ++x) EXPECT_EQ(pixelAt(flower, x, y), transparent);
    expectOnlyOpaqueOrEmpty(flower);
}

TEST(Art, LifeHearts) {
    LifeHearts hearts;
    buildLifeHearts(hearts);
    // What the icons show, read back from the textures.
    const sf::Image fullImage = hearts.lifeFullTexture.copyToImage();
    const sf::Image emptyImage = hearts.lifeEmptyTexture.copyToImage();
    for (const sf::Image* image : {&fullImage, &emptyImage}) {
        ASSERT_EQ(image->getSize(), sf::Vector2u(16, 16));
        EXPECT_EQ(colourCounts(*image).at(transparent), 256 - 66);
        expectOnlyOpaqueOrEmpty(*image);
    }
    EXPECT_EQ(colourCounts(fullImage).at(crimson), 66);
    EXPECT_EQ(colourCounts(emptyImage).at(rgba(palette::emptyLifeHeart)), 66);
    for (unsigned y = 0; y < 16; ++y)
        for (unsigned x = 0; x < 16; ++x)
            EXPECT_EQ(std::get<3>(pixelAt(fullImage, x, y)),
                      std::get<3>(pixelAt(emptyImage, x, y)));
    EXPECT_EQ(pixelAt(fullImage, 11, 3), crimson);  // the pattern's 17th column is unread
    EXPECT_EQ(pixelAt(fullImage, 12, 3), transparent);
    EXPECT_EQ(pixelAt(fullImage, 5, 9), crimson);
    EXPECT_EQ(pixelAt(fullImage, 5, 10), transparent);

    const float xs[] = {20.f, 55.f, 90.f};
    for (std::size_t i = 0; i < 3; ++i) {
        const sf::Sprite& icon = hearts.lifeIcon[i];
        EXPECT_EQ(textureOf(icon), &hearts.lifeFullTexture);
        EXPECT_EQ(icon.getScale(), sf::Vector2f(2.f, 2.f));
        EXPECT_EQ(icon.getPosition(), sf::Vector2f(xs[i], 15.f));
        EXPECT_EQ(compat::width(icon.getGlobalBounds()), 32.f);
    }
}

TEST(Art, FieldSprites) {
    FieldArt art;
    buildFieldArt(art);
    struct Expected {
        const Picture& picture;
        sf::Vector2f scale, position, size;
    };
    const Expected table[] = {
        {art.bar, {1.875f, 2.5f}, {325, 550}, {150, 20}},
        {art.ball, {2, 2}, {384, 50}, {32, 32}},
        {art.blockObstacle, {3, 3}, {364, 110}, {72, 36}},
        {art.trapezoidObstacle, {3, 3}, {130, 400}, {84, 72}},
        {art.diamondObstacle, {3, 3}, {570, 400}, {78, 78}},
        {art.heartObstacle, {3, 3}, {340, 250}, {120, 108}},
    };
    for (const Expected& e : table) {
        const sf::Sprite& sprite = e.picture.sprite;
        EXPECT_EQ(textureOf(sprite), &e.picture.texture);
        EXPECT_FALSE(e.picture.texture.isSmooth());
        EXPECT_EQ(sprite.getScale(), e.scale);
        EXPECT_EQ(sprite.getOrigin(), sf::Vector2f(0, 0));
        EXPECT_EQ(sprite.getPosition(), e.position);
        const sf::FloatRect bounds = sprite.getGlobalBounds();
        EXPECT_EQ(sf::Vector2f(compat::left(bounds), compat::top(bounds)), e.position);
        EXPECT_EQ(sf::Vector2f(compat::width(bounds), compat::height(bounds)), e.size);
    }
    const sf::Sprite& flower = art.flower.sprite;
    EXPECT_EQ(flower.getOrigin(), sf::Vector2f(12, 12));
    EXPECT_EQ(flower.getScale(), sf::Vector2f(0, 0));
    EXPECT_EQ(flower.getPosition(), sf::Vector2f(400, 300));
    EXPECT_EQ(compat::width(flower.getGlobalBounds()), 0.f);
    // Shown, it spans 960 px centred on the window.
    art.flower.sprite.setScale({40.f, 40.f});
    const sf::FloatRect shown = art.flower.sprite.getGlobalBounds();
    EXPECT_EQ(compat::left(shown), -80.f);
    EXPECT_EQ(compat::top(shown), -180.f);
    EXPECT_EQ(compat::width(shown), 960.f);
}
