#pragma once
// Generic controls: a bitmap picture (frame by value) and a text label.
#include "framework/gui/bitmap.h"
#include "framework/gui/control.h"

#include <string>

// Draws the frame of its bitmap that matches its value (1 for 0, N for 1). The rectangle is one
// frame at (x, y).
class IBitmapControl : public IControl {
public:
  IBitmapControl(float x, float y, const IBitmap& bitmap, int paramIdx = kNoParameter);
  void Draw(IGraphics& g) override;
  const IBitmap& GetBitmap() const { return mBitmap; }
  // Frame (1-based) for a normalised value on an N-frame strip.
  static int FrameForValue(double value, int nFrames);

protected:
  IBitmap mBitmap;
};

// A line of text in a rectangle; nothing happens on the mouse.
class ITextControl : public IControl {
public:
  ITextControl(const IRECT& rect, const char* str, const IText& text);
  void Draw(IGraphics& g) override;
  void SetStr(const char* str);
  const std::string& GetStr() const { return mStr; }

private:
  std::string mStr;
};
