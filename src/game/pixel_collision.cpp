#include "game/pixel_collision.hpp"

#include "sfml_compat.hpp"

#include <cstdint>
#include <optional>

namespace {

struct PixelIndex {
    unsigned u;
    unsigned v;
};

// Where a sprite shows its image in the window, and the image's pixels, read
// once per test: neither changes during one.
struct Placement {
    sf::Vector2f position;
    sf::Vector2f scale;
    sf::Vector2u size;
    const std::uint8_t* pixels;  // RGBA, row after row
};

Placement placementOf(const sf::Sprite& sprite, const sf::Image& image) {
    return {sprite.getPosition(), sprite.getScale(), image.getSize(), image.getPixelsPtr()};
}

// The image pixel under a window point, or nothing where the point falls
// outside the image (possible through rounding at the far edge).
std::optional<PixelIndex> pixelUnder(const Placement& placement, float x, float y) {
    const float u = (x - placement.position.x) / placement.scale.x;
    const float v = (y - placement.position.y) / placement.scale.y;
    const auto iu = static_cast<std::int64_t>(u);  // truncates toward zero
    const auto iv = static_cast<std::int64_t>(v);
    if (iu < 0 || iv < 0 || iu >= placement.size.x || iv >= placement.size.y) return std::nullopt;
    return PixelIndex{static_cast<unsigned>(iu), static_cast<unsigned>(iv)};
}

bool isOpaque(const Placement& placement, PixelIndex at) {
    const std::size_t index = std::size_t{at.v} * placement.size.x + at.u;
    return placement.pixels[index * 4 + 3] != 0;  // the alpha
}

}  // namespace

bool pixelPerfectCollision(const sf::Sprite& a, const sf::Image& imageA, const sf::Sprite& b,
                           const sf::Image& imageB) {
    const std::optional<sf::FloatRect> overlap =
        compat::findIntersection(a.getGlobalBounds(), b.getGlobalBounds());
    if (!overlap) return false;
    const float left = compat::left(*overlap);
    const float top = compat::top(*overlap);
    const float right = left + compat::width(*overlap);
    const float bottom = top + compat::height(*overlap);
    const Placement placementA = placementOf(a, imageA);
    const Placement placementB = placementOf(b, imageB);
    for (float y = top; y < bottom; y += 1.f)
        for (float x = left; x < right; x += 1.f) {
            const std::optional<PixelIndex> inA = pixelUnder(placementA, x, y);
            const std::optional<PixelIndex> inB = pixelUnder(placementB, x, y);
            if (inA && inB && isOpaque(placementA, *inA) && isOpaque(placementB, *inB)) return true;
        }
    return false;
}
