#pragma once

#include <vector>

// Pitch-to-coefficient tables of the voice filters for one sample rate. The plug-in owns one
// instance, rebuilds it at every sample-rate change and hands it to its voices, so instances at
// different rates never share tables.
class FilterTables {
public:
  // Table index i is cutoff pitch i (8.176 Hz .. 19912.127 Hz); filters clamp to this range.
  static constexpr int kMaxIndex = 17280;
  static constexpr int kSize = kMaxIndex + 1;
  // Cutoffs are held below this fraction of the sample rate, so the Korg 35's tangent never
  // reaches its pole at low sample rates (below about 40.6 kHz).
  static constexpr double kMaxCutoffRatio = 0.49;

  FilterTables();
  // Builds the tables; ignored below 1 Hz.
  void setSampleRate(double sampleRate);
  double getSampleRate() const { return sampleRate; }

  // tan(pi * f / sampleRate) for the Korg 35.
  const double* tanW() const { return freq2tanW.data(); }
  // 2 * pi * f / sampleRate for the ladder.
  const double* rad() const { return freq2rad.data(); }

  // The parts of each filter's coefficients that depend on the cutoff alone, computed here
  // with the filters' own formulas so that a per-sample cutoff change costs few divisions.
  struct Korg35Coef {
    double G;        // g / (1 + g)
    double beta1;    // -1 / (1 + g)
    double onePlusG; // 1 + g
    double unused;
  };
  struct LadderCoef {
    double G;  // w / (w + 2)
    double b;  // (w - 2) / (w + 2)
    double G4; // G^4
    double unused;
  };
  const Korg35Coef* korg35() const { return korg35Coef.data(); }
  const LadderCoef* ladder() const { return ladderCoef.data(); }

private:
  double sampleRate = 0.0;
  std::vector<double> freq2tanW;
  std::vector<double> freq2rad;
  std::vector<Korg35Coef> korg35Coef;
  std::vector<LadderCoef> ladderCoef;
};
