#pragma once

#include <cmath>

// Stages aim past their end point so that it is reached in finite time.
constexpr double kAttackTarget = 10.0 / 9.0;
constexpr double kReleaseTarget = -1.0 / 9.0;
constexpr double kLn10 = 2.302585092994046;

// Per-step coefficient for time parameter t (0..1): a full stage lasts about 10^(4.5 t - 2.3) s,
// 5 ms at 0, 1 s at 0.5111, 158 s at 1.
inline double envelopeCoef(double t, double rateFactor) {
  return std::pow(10.0, 2.3 - 4.5 * t) * rateFactor;
}
