#pragma once
// Pictures: a bitmap holds N frames stacked vertically, drawn by frame number (1-based).
#include <cairo.h>

#include <memory>
#include <string>

class IBitmap {
public:
  IBitmap() = default;
  // Takes over one reference of the surface (may be nullptr for a missing picture).
  IBitmap(cairo_surface_t* surface, int nFrames, std::string name);

  bool IsValid() const { return mSurface != nullptr; }
  cairo_surface_t* Surface() const { return mSurface.get(); }
  int NFrames() const { return mNFrames; }
  // Whole image size in pixels (0 for a missing picture).
  int W() const { return mW; }
  int H() const { return mH; }
  int FrameW() const { return mW; }
  int FrameH() const { return mNFrames > 0 ? mH / mNFrames : mH; }
  const std::string& Name() const { return mName; }
  // The same picture cut into another number of frames.
  IBitmap WithFrames(int nFrames) const {
    IBitmap b(*this);
    b.mNFrames = nFrames > 0 ? nFrames : 1;
    return b;
  }

private:
  std::shared_ptr<cairo_surface_t> mSurface;
  int mNFrames = 1;
  int mW = 0, mH = 0;
  std::string mName;
};

// Decoders; each returns nullptr and sets `error` when the file is missing or broken.
cairo_surface_t* LoadPngSurface(const std::string& path, std::string& error);
cairo_surface_t* LoadJpegSurface(const std::string& path, std::string& error);
