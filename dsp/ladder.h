#pragma once

#include <climits>

class FilterTables;

// Four-pole ladder low-pass: four identical bilinear one-pole stages (without pre-warping) with
// the feedback loop solved in closed form; the fed-back signal is limited to +-1.
//
// Calling contract as for Korg35: setSampleRate(tables) and setCutoffMod at every reset,
// update(base cutoff) once per control period, process(buffer, count, position) in place.
// The states start at (0, 1, 0, -1) and are never reset.
class Ladder {
public:
  void setSampleRate(const FilterTables& tables);
  void setCutoffMod(const int* buffer) { cutoffMod = buffer; }
  void setPeak(double value) { peak = value; }
  void update(int index);
  void process(double* buffer, int count, int position);

  double getFeedback() const { return k; }
  double getGainComp() const { return gainComp; }
  int getBase() const { return base; }

private:
  const double* rad = nullptr;
  int base = 0;
  double peak = 0.0;
  double G = 0.0, b = 0.0, G4 = 0.0;
  double k = 0.0;
  double inv = 1.0;
  double gainComp = 1.0;
  const int* cutoffMod = nullptr;
  int lastIndex = INT_MIN; // forces the first coefficient computation
  double lastK = 0.0;
  double s1 = 0.0, s2 = 1.0, s3 = 0.0, s4 = -1.0;
  double denormal = 1e-13;
};
