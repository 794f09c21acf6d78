#pragma once
// Every colour any picture of the game paints. All are fully opaque: the
// pixel-perfect contact test counts any pixel with alpha above 0 as drawn.

#include <SFML/Graphics/Color.hpp>

namespace palette {

inline const sf::Color crimson{140, 20, 80};  // bar border and hearts, full life heart
inline const sf::Color black{0, 0, 0};
inline const sf::Color white{255, 255, 255};
inline const sf::Color blockFrame{120, 220, 140};
inline const sf::Color blockInside{20, 120, 50};
inline const sf::Color trapezoidEdge{240, 210, 60};
inline const sf::Color trapezoidInside{180, 140, 20};
inline const sf::Color diamondOutline{140, 210, 240};
inline const sf::Color diamondInside{50, 130, 180};
inline const sf::Color heartRim{225, 120, 170};
inline const sf::Color heartInside{180, 20, 90};
inline const sf::Color flowerPetal{80, 10, 60};
inline const sf::Color flowerCentre{225, 180, 40};
inline const sf::Color emptyLifeHeart{60, 60, 60};

}  // namespace palette
