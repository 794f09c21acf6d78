#pragma once
// The field is the window: walls left, right and at the top, open below.

constexpr float fieldWidth = 800.f;
constexpr float fieldHeight = 600.f;
