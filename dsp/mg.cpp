#include "dsp/mg.h"

#include <algorithm>
#include <atomic>
#include <cmath>

#include "dsp/clock.h"

namespace {
// Shared without ordering: generators only need a stream of values, not a particular one.
std::atomic<std::int32_t> randSeed{1};
} // namespace

double MG::getNoise() {
  const std::uint32_t next =
      static_cast<std::uint32_t>(randSeed.load(std::memory_order_relaxed)) * 16807u;
  const std::int32_t seed = static_cast<std::int32_t>(next);
  randSeed.store(seed, std::memory_order_relaxed);
  return seed * 4.6566129e-10;
}

void MG::seedNoise(std::int32_t seed) {
  randSeed.store(seed, std::memory_order_relaxed);
}

void MG::setPeriod(int steps) {
  steps = std::max(steps, 0);
  if (!synced) {
    counter = scaleCounter(counter, steps, period);
    period = steps;
  }
  basePeriod = steps;
}

void MG::setSyncRate(int rate) {
  syncRate = std::clamp(rate, 0, Clock::kNumRates - 1);
  synced = syncRate > 0 && clock != nullptr;
}

void MG::setWaveForm(double value) {
  const double w = std::floor(5.0 * value + 0.5);
  waveForm = w >= 5.0 ? WhiteNoise : (w > 0.0 ? static_cast<int>(w) : Triangle);
}

void MG::update() {
  if (counter >= period) counter = 0;
  const double x = period >= 2 ? 1.0 - 2.0 * counter / (period - 1) : 0.0;
  switch (waveForm) {
  case Triangle:
    output = x < 0.0 ? 2.0 * x + 1.0 : 1.0 - 2.0 * x;
    break;
  case SawDown:
    output = -x;
    break;
  case SawUp:
    output = x;
    break;
  case Square:
    output = x < 0.0 ? 1.0 : -1.0;
    break;
  case PinkNoise: {
    const double w = getNoise();
    pink0 = 0.99765 * pink0 + 0.099046 * w;
    pink1 = 0.963 * pink1 + 0.2965164 * w;
    pink2 = 0.57 * pink2 + 1.0526913 * w;
    output = (pink0 + pink1 + pink2 + 0.1848 * w) * 0.5;
    break;
  }
  default:
    output = getNoise();
    break;
  }
  if (synced) {
    period = clock->getPeriod(syncRate);
    counter = clock->getCounter(syncRate);
  } else {
    counter = counter <= 0 ? period - 1 : counter - 1;
  }
}

bool MG::isTrigger() {
  const bool high = 2 * std::int64_t(counter) >= period;
  const bool trigger = high && !wasHigh;
  wasHigh = high;
  return trigger;
}
