#pragma once
// Mapping between a parameter's normalised 0..1 value and its real value.
#include <memory>

class IParamShape {
public:
  virtual ~IParamShape() = default;
  virtual std::unique_ptr<IParamShape> Clone() const = 0;
  // n in 0..1 to a real value in [min, max], and back.
  virtual double ValueFromNormalized(double n, double min, double max) const = 0;
  virtual double NormalizedFromValue(double value, double min, double max) const = 0;
};

class ShapeLinear : public IParamShape {
public:
  std::unique_ptr<IParamShape> Clone() const override;
  double ValueFromNormalized(double n, double min, double max) const override;
  double NormalizedFromValue(double value, double min, double max) const override;
};

class ShapePowCurve : public IParamShape {
public:
  explicit ShapePowCurve(double exponent) : mExponent(exponent) {}
  std::unique_ptr<IParamShape> Clone() const override;
  double ValueFromNormalized(double n, double min, double max) const override;
  double NormalizedFromValue(double value, double min, double max) const override;

private:
  double mExponent;
};
