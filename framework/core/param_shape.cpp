#include "framework/core/param_shape.h"

#include <cmath>

std::unique_ptr<IParamShape> ShapeLinear::Clone() const {
  return std::make_unique<ShapeLinear>();
}

double ShapeLinear::ValueFromNormalized(double n, double min, double max) const {
  return min + n * (max - min);
}

double ShapeLinear::NormalizedFromValue(double value, double min, double max) const {
  return (value - min) / (max - min);
}

std::unique_ptr<IParamShape> ShapePowCurve::Clone() const {
  return std::make_unique<ShapePowCurve>(mExponent);
}

double ShapePowCurve::ValueFromNormalized(double n, double min, double max) const {
  return min + std::pow(n, mExponent) * (max - min);
}

double ShapePowCurve::NormalizedFromValue(double value, double min, double max) const {
  return std::pow((value - min) / (max - min), 1.0 / mExponent);
}
