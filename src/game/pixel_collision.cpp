#include "game/pixel_collision.hpp"

#include "sfml_compat.hpp"

#include <cstdint>
#include <optional>

namespace {

struct PixelIndex {
    unsigned u;
    unsigned v;
};

// The image pixel under a window point, or nothing where the point falls
// outside the image (possible through rounding at the far edge).
std::optional<PixelIndex> pixelUnder(const sf::Sprite& sprite, const sf::Image& image, float x,
                                     float y) {
    const float u = (x - sprite.getPosition().x) / sprite.getScale().x;
    const float v = (y - sprite.getPosition().y) / sprite.getScale().y;
    const auto iu = static_cast<std::int64_t>(u);  // truncates toward zero
    const auto iv = static_cast<std::int64_t>(v);
    if (iu < 0 || iv < 0 || iu >= image.getSize().x || iv >= image.getSize().y) return std::nullopt;
    return PixelIndex{static_cast<unsigned>(iu), static_cast<unsigned>(iv)};
}

bool isOpaque(const sf::Image& image, PixelIndex at) {
    return compat::getPixel(image, at.u, at.v).a != 0;
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
    for (float y = top; y < bottom; y += 1.f)
        for (float x = left; x < right; x += 1.f) {
            const std::optional<PixelIndex> inA = pixelUnder(a, imageA, x, y);
            const std::optional<PixelIndex> inB = pixelUnder(b, imageB, x, y);
            if (inA && inB && isOpaque(imageA, *inA) && isOpaque(imageB, *inB)) return true;
        }
    return false;
}
