#include "framework/vst3/param_text.h"

#include <cmath>
#include <cstdlib>
#include <string>

bool ParseNumber(const char* text, double& number) {
  if (!text) return false;
  char* end = nullptr;
  const double value = std::strtod(text, &end);
  if (end == text || !std::isfinite(value)) return false;
  number = value;
  return true;
}

bool ParseParamText(const IParam& param, const char* text, double& plain) {
  if (!text) return false;
  std::string trimmed(text);
  const size_t first = trimmed.find_first_not_of(" \t");
  const size_t last = trimmed.find_last_not_of(" \t");
  trimmed = first == std::string::npos ? std::string() : trimmed.substr(first, last - first + 1);

  double value = 0.0;
  if (param.MapDisplayText(text, &value) || param.MapDisplayText(trimmed.c_str(), &value)) {
    plain = value;
    return true;
  }
  double number = 0.0;
  if (!ParseNumber(trimmed.c_str(), number)) return false;
  // Lists and switches take their item number; the others read the text as their value.
  const bool isList = param.Type() == IParam::kTypeEnum || param.Type() == IParam::kTypeBool;
  plain = isList ? param.Constrain(number) : param.StringToValue(trimmed.c_str());
  return true;
}
