#include "framework/core/param.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {
void copyText(char (&dest)[IParam::kTextSize], const char* src) {
  std::snprintf(dest, sizeof(dest), "%s", src ? src : "");
}

int precisionOfStep(double step) {
  if (step == std::floor(step)) return 0;
  double product = step;
  for (int precision = 1; precision <= 6; ++precision) {
    product *= 10.0;
    // Decimal steps are not exact in binary; "whole" allows for that.
    if (std::fabs(product - std::round(product)) < 1e-9 * std::max(1.0, std::fabs(product)))
      return precision;
  }
  return 6;
}
} // namespace

IParam::IParam() : mShape(std::make_unique<ShapeLinear>()) {}

void IParam::InitDouble(const char* name, double defaultVal, double min, double max, double step,
                        const char* label, int flags, const char* group, const IParamShape& shape,
                        int unit, DisplayFunc displayFunc) {
  if (mType == kTypeNone) mType = kTypeDouble;
  copyText(mName, name);
  copyText(mLabel, label);
  copyText(mGroup, group);
  mMin = min;
  mMax = std::max(min + step, max);
  mStep = step;
  mDefault = defaultVal;
  mUnit = unit;
  mFlags = flags;
  mDisplayFunc = std::move(displayFunc);
  SetValue(defaultVal);
  mDisplayPrecision = precisionOfStep(step);
  mShape = shape.Clone();
}

void IParam::InitInt(const char* name, int defaultVal, int min, int max, const char* label,
                     int flags, const char* group) {
  if (mType == kTypeNone) mType = kTypeInt;
  InitDouble(name, defaultVal, min, max, 1.0, label, flags | kFlagStepped, group);
}

void IParam::InitEnum(const char* name, int defaultVal, const std::vector<const char*>& texts,
                      int flags, const char* group) {
  if (mType == kTypeNone) mType = kTypeEnum;
  InitDouble(name, defaultVal, 0, static_cast<double>(texts.size()) - 1.0, 1.0, "",
             flags | kFlagStepped, group);
  for (size_t i = 0; i < texts.size(); ++i) SetDisplayText(static_cast<double>(i), texts[i]);
}

void IParam::InitBool(const char* name, bool defaultVal, const char* label, int flags,
                      const char* group, const char* offText, const char* onText) {
  if (mType == kTypeNone) mType = kTypeBool;
  InitDouble(name, defaultVal ? 1.0 : 0.0, 0, 1, 1.0, label, flags | kFlagStepped, group);
  SetDisplayText(0, offText);
  SetDisplayText(1, onText);
}

void IParam::SetDisplayText(double value, const char* text) {
  DisplayText entry{value, {}};
  copyText(entry.text, text);
  mDisplayTexts.push_back(entry);
}

double IParam::Constrain(double value) const {
  if (std::isnan(value)) value = mDefault; // a NaN from outside must never reach the engine
  if (GetStepped()) value = std::round(value / mStep) * mStep; // half away from zero
  return std::min(std::max(value, mMin), mMax);
}

double IParam::NormalizeValue(double value) const {
  const double n = mShape->NormalizedFromValue(Constrain(value), mMin, mMax);
  return std::min(std::max(n, 0.0), 1.0);
}

double IParam::ValueFromNormalized(double normalized) const {
  return mShape->ValueFromNormalized(normalized, mMin, mMax);
}

void IParam::GetDisplay(double value, bool isNormalized, std::string& text,
                        bool withDisplayText) const {
  if (isNormalized) value = Constrain(ValueFromNormalized(value));
  if (mDisplayFunc) {
    mDisplayFunc(value, text);
    return;
  }
  if (withDisplayText) {
    for (const DisplayText& entry : mDisplayTexts) {
      if (entry.value == value && entry.text[0] != '\0') {
        text = entry.text;
        return;
      }
    }
  }
  char buffer[64];
  if (mDisplayPrecision == 0)
    std::snprintf(buffer, sizeof(buffer), "%lld", static_cast<long long>(std::llround(value)));
  else
    std::snprintf(buffer, sizeof(buffer), "%.*f", mDisplayPrecision, value);
  text = buffer;
}

const char* IParam::GetLabel() const {
  const double key = std::trunc(GetValue());
  for (const DisplayText& entry : mDisplayTexts)
    if (entry.value == key && entry.text[0] != '\0') return "";
  return mLabel;
}

void IParam::GetDisplayWithLabel(std::string& text) const {
  GetDisplay(text);
  const char* label = GetLabel();
  if (label[0] != '\0') {
    text += ' ';
    text += label;
  }
}

bool IParam::MapDisplayText(const char* text, double* value) const {
  for (const DisplayText& entry : mDisplayTexts) {
    if (std::strcmp(entry.text, text) == 0) {
      *value = entry.value;
      return true;
    }
  }
  return false;
}

double IParam::StringToValue(const char* text) const {
  double value = 0.0;
  if (MapDisplayText(text, &value)) return value;
  if (mType == kTypeBool || mType == kTypeEnum) return 0.0;
  return Constrain(std::atof(text));
}

const char* IParam::GetDisplayTextAtIdx(int idx, double* value) const {
  if (idx < 0 || idx >= NDisplayTexts()) return "";
  if (value) *value = mDisplayTexts[static_cast<size_t>(idx)].value;
  return mDisplayTexts[static_cast<size_t>(idx)].text;
}
