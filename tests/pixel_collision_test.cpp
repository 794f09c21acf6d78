// Contact where both pictures are drawn, sampled on whole window pixels.

#include "game/pixel_collision.hpp"
#include "game_fixture.hpp"
#include "sfml_compat.hpp"

#include <gtest/gtest.h>

#include <cmath>

namespace {

// A picture of its own for the corner cases: every pixel opaque unless listed,
// in the faintest opaque colour, black at alpha 1: only the alpha counts.
struct Patch {
    Patch(unsigned width, unsigned height, sf::Vector2f position, sf::Vector2f scale,
          std::initializer_list<unsigned> clearColumns = {})
        : image(compat::makeImage(width, height)), sprite(texture) {
        for (unsigned y = 0; y < height; ++y)
            for (unsigned x = 0; x < width; ++x)
                compat::setPixel(image, x, y, sf::Color(0, 0, 0, 1));
        for (unsigned x : clearColumns)
            for (unsigned y = 0; y < height; ++y)
                compat::setPixel(image, x, y, sf::Color::Transparent);
        makeTexture(texture, image);
        sprite.setTexture(texture, true);
        sprite.setPosition(position);
        sprite.setScale(scale);
    }
    sf::Image image;
    sf::Texture texture;
    sf::Sprite sprite;
};

bool collide(const Patch& a, const Patch& b) {
    const bool ab = pixelPerfectCollision(a.sprite, a.image, b.sprite, b.image);
    EXPECT_EQ(ab, pixelPerfectCollision(b.sprite, b.image, a.sprite, a.image));
    return ab;
}

}  // namespace

TEST(PixelCollision, EdgesCornersAndSingleSamples) {
    // Opaque everywhere, touching along an edge: no sample is taken.
    EXPECT_FALSE(collide(Patch(4, 4, {0, 0}, {2, 2}), Patch(4, 4, {8, 0}, {2, 2})));
    EXPECT_FALSE(collide(Patch(4, 4, {0, 0}, {2, 2}), Patch(4, 4, {8, 8}, {2, 2})));
    // A single overlapping window pixel on opaque pixels of both; one pixel
    // drawn four times taller than wide is met at its foot.
    EXPECT_TRUE(collide(Patch(4, 4, {0, 0}, {1, 1}), Patch(4, 4, {3.5f, 3.5f}, {1, 1})));
    EXPECT_TRUE(collide(Patch(1, 1, {0, 0}, {1, 4}), Patch(4, 4, {0, 3}, {1, 1})));
    // Opaque overlap [1.7, 1.9) between the samples at 0.5 and 1.5: not found.
    EXPECT_FALSE(collide(Patch(10, 1, {0.5f, 0}, {0.2f, 1}, {0, 1, 2, 3, 4, 5, 7, 8, 9}),
                         Patch(4, 1, {0, 0}, {0.5f, 1})));
    // A sample just inside the far edge that rounds onto index == width is
    // skipped, never read: 1.11 + 2.5 = 3.61, and (3.6099999 - 1.11) / 2.5 = 1.
    // Read, it would be the opaque first pixel of the next row.
    const float farSample = std::nextafter(1.11f + 2.5f, 0.f);
    EXPECT_FALSE(collide(Patch(1, 2, {1.11f, 0}, {2.5f, 1}), Patch(1, 1, {farSample, 0}, {1, 1})));
}

TEST(PixelCollision, GamePicturesAndSymmetry) {
    GameFixture game;
    sf::Sprite& ball = game.art.ball.sprite;
    const sf::Image& ballImage = game.art.ball.image;
    const Picture& diamond = game.art.diamondObstacle;
    const Picture& heart = game.art.heartObstacle;
    auto touches = [&](const Picture& obstacle) {
        const bool one = pixelPerfectCollision(ball, ballImage, obstacle.sprite, obstacle.image);
        EXPECT_EQ(one, pixelPerfectCollision(obstacle.sprite, obstacle.image, ball, ballImage));
        return one;
    };
    // The ball's lowest row (14) meets the diamond's tip (13, 1) at y = 403.
    ball.setPosition({570.f + 39.f - 16.f, 400.f - 26.f});
    EXPECT_TRUE(touches(diamond));
    ball.setPosition({570.f + 39.f - 16.f, 400.f - 27.f});  // row 15 is empty
    EXPECT_FALSE(touches(diamond));
    // Right inside the heart.
    ball.setPosition({384.f, 288.f});
    EXPECT_TRUE(touches(heart));

    // Around the heart the answer never depends on the order of the pairs,
    // and a contact always needs the bounds to overlap.
    int contacts = 0;
    for (float y = 220.f; y < 370.f; y += 3.7f)
        for (float x = 300.f; x < 470.f; x += 3.3f) {
            ball.setPosition({x, y});
            const bool hit = touches(heart);
            contacts += hit;
            if (hit) {
                EXPECT_TRUE(compat::findIntersection(ball.getGlobalBounds(),
                                                     heart.sprite.getGlobalBounds()));
            }
        }
    EXPECT_GT(contacts, 500);
}
