#pragma once
// A parameter: real value, range, step, shape and display texts.
#include "framework/core/param_shape.h"

#include <atomic>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class IParam {
public:
  enum EParamType { kTypeNone = 0, kTypeBool = 1, kTypeInt = 2, kTypeEnum = 3, kTypeDouble = 4 };
  enum EFlags { kFlagStepped = 0x2 };
  static constexpr int kUnitCustom = 0;
  static constexpr int kTextSize = 32;
  using DisplayFunc = std::function<void(double value, std::string& text)>;

  IParam();
  IParam(const IParam&) = delete;
  IParam& operator=(const IParam&) = delete;

  void InitDouble(const char* name, double defaultVal, double min, double max, double step,
                  const char* label = "", int flags = 0, const char* group = "",
                  const IParamShape& shape = ShapeLinear(), int unit = kUnitCustom,
                  DisplayFunc displayFunc = nullptr);
  void InitInt(const char* name, int defaultVal, int min, int max, const char* label = "",
               int flags = 0, const char* group = "");
  void InitEnum(const char* name, int defaultVal, const std::vector<const char*>& texts,
                int flags = 0, const char* group = "");
  void InitBool(const char* name, bool defaultVal, const char* label = "", int flags = 0,
                const char* group = "", const char* offText = "off", const char* onText = "on");
  void SetDisplayText(double value, const char* text);

  double GetValue() const { return mValue.load(std::memory_order_relaxed); }
  void SetValue(double value) { mValue.store(Constrain(value), std::memory_order_relaxed); }
  double Constrain(double value) const;

  double GetNormalized() const { return NormalizeValue(GetValue()); }
  double NormalizeValue(double value) const;
  double ValueFromNormalized(double normalized) const;
  void SetFromNormalized(double normalized) { SetValue(ValueFromNormalized(normalized)); }

  void GetDisplay(double value, bool isNormalized, std::string& text,
                  bool withDisplayText = true) const;
  void GetDisplay(std::string& text, bool withDisplayText = true) const {
    GetDisplay(GetValue(), false, text, withDisplayText);
  }
  void GetDisplayWithLabel(std::string& text) const;
  const char* GetLabel() const;
  double StringToValue(const char* text) const;
  bool MapDisplayText(const char* text, double* value) const;
  int NDisplayTexts() const { return static_cast<int>(mDisplayTexts.size()); }
  const char* GetDisplayTextAtIdx(int idx, double* value = nullptr) const;

  void GetBounds(double& min, double& max) const {
    min = mMin;
    max = mMax;
  }
  double GetMin() const { return mMin; }
  double GetMax() const { return mMax; }
  double GetRange() const { return mMax - mMin; }
  double GetStep() const { return mStep; }
  double GetDefault() const { return mDefault; }
  double GetDefault(bool normalized) const {
    return normalized ? NormalizeValue(mDefault) : mDefault;
  }
  EParamType Type() const { return mType; }
  int Unit() const { return mUnit; }
  int GetFlags() const { return mFlags; }
  bool GetStepped() const { return (mFlags & kFlagStepped) != 0; }
  int GetDisplayPrecision() const { return mDisplayPrecision; }
  const char* GetName() const { return mName; }
  const char* GetGroup() const { return mGroup; }
  const char* GetCustomLabel() const { return mLabel; }

private:
  struct DisplayText {
    double value;
    char text[kTextSize];
  };

  EParamType mType = kTypeNone;
  int mUnit = kUnitCustom;
  std::atomic<double> mValue{0.0};
  double mMin = 0.0;
  double mMax = 1.0;
  double mStep = 1.0;
  double mDefault = 0.0;
  int mDisplayPrecision = 0;
  int mFlags = 0;
  char mName[kTextSize] = {};
  char mLabel[kTextSize] = {};
  char mGroup[kTextSize] = {};
  std::unique_ptr<IParamShape> mShape;
  DisplayFunc mDisplayFunc;
  std::vector<DisplayText> mDisplayTexts;
};
