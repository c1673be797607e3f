#pragma once
// Text style: font identifier, size in design pixels, colour and alignment.
#include "framework/gui/geometry.h"

#include <string>

enum class EAlign { kNear, kCenter, kFar };
enum class EVAlign { kTop, kMiddle, kBottom };

struct IText {
  std::string font; // identifier given to IGraphics::LoadFont; empty: the first loaded font
  float size = 14.f;
  IColor color{255, 0, 0, 0};
  EAlign align = EAlign::kCenter;
  EVAlign valign = EVAlign::kMiddle;

  IText() = default;
  IText(float size_, const IColor& color_, const char* font_ = "", EAlign align_ = EAlign::kCenter,
        EVAlign valign_ = EVAlign::kMiddle)
      : font(font_ ? font_ : ""), size(size_), color(color_), align(align_), valign(valign_) {}
};
