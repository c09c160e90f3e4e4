// Angles are degrees throughout the game; heading a points along
// (cos a, -sin a). The conversions that keep results bit-identical write
// either `degrees * kDegToRad` or `kPi * degrees / 180`, each as it always did.
#pragma once

constexpr float kPi = 3.14159265358979f;
constexpr float kDegToRad = kPi / 180.0f;
