#include "dsp/sh.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "dsp/clock.h"
#include "dsp/mg.h"

void SH::setPeriod(int steps) {
  steps = std::max(steps, 0);
  if (!synced) {
    counter = scaleCounter(counter, steps, period);
    period = steps;
  }
  basePeriod = steps;
}

void SH::setSyncRate(int rate) {
  syncRate = std::clamp(rate, 0, Clock::kNumRates - 1);
  synced = syncRate > 0 && clock != nullptr;
}

void SH::setSynchro(bool on) {
  synchro = on;
  if (!on) counter = period = basePeriod;
}

void SH::sample(double input) {
  if (2 * std::int64_t(counter) < period) {
    armed = true;
  } else if (armed) {
    output = input;
    armed = false;
    if (!synced && synchro) {
      // Inputs beyond ±5 V must neither stop the cycle nor overflow it: keep 0.5x..1.5x.
      const double in = input > 1.0 ? 1.0 : (input > -1.0 ? input : -1.0);
      const double factor = 0.5 + (in + 1.0) * 0.5;
      period = std::max(1, static_cast<int>(basePeriod * factor));
    }
  }
  if (synced) {
    period = clock->getPeriod(syncRate);
    counter = clock->getCounter(syncRate);
  } else {
    counter = counter <= 0 ? period - 1 : counter - 1;
  }
}

bool SH::isTrigger() {
  const bool high = 2 * std::int64_t(counter) >= period;
  const bool trigger = high && !wasHigh;
  wasHigh = high;
  return trigger;
}
