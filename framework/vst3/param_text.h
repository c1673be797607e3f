#pragma once
// Text typed at the host into a parameter's plain value.
#include "framework/core/param.h"

// A finite number at the start of the text (surrounding blanks and a trailing unit allowed).
bool ParseNumber(const char* text, double& number);
// A display text of the parameter or a number; the plain value is constrained to the
// parameter's range and step. False when the text is neither.
bool ParseParamText(const IParam& param, const char* text, double& plain);
