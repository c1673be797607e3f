#include "framework/gui/basic_controls.h"

#include "framework/gui/graphics.h"

IBitmapControl::IBitmapControl(float x, float y, const IBitmap& bitmap, int paramIdx)
    : IControl(IRECT(x, y, x + float(bitmap.FrameW()), y + float(bitmap.FrameH())), paramIdx),
      mBitmap(bitmap) {}

int IBitmapControl::FrameForValue(double value, int nFrames) {
  if (nFrames < 2) return 1;
  const int k = static_cast<int>((nFrames - 1) * value + 0.5);
  return std::min(std::max(k, 0) + 1, nFrames);
}

void IBitmapControl::Draw(IGraphics& g) {
  g.DrawBitmap(mBitmap, mRECT, FrameForValue(mValue, mBitmap.NFrames()));
}

ITextControl::ITextControl(const IRECT& rect, const char* str, const IText& text)
    : IControl(rect), mStr(str ? str : "") {
  mText = text;
}

void ITextControl::Draw(IGraphics& g) {
  g.DrawText(mText, mStr.c_str(), mRECT);
}

void ITextControl::SetStr(const char* str) {
  const std::string s = str ? str : "";
  if (s == mStr) return;
  mStr = s;
  SetDirty(false);
}
