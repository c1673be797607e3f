// Painting: resources (pictures, fonts), the background and the drawing calls of controls.
#include "framework/gui/graphics.h"

#include <cairo-ft.h>
#include <ft2build.h>
#include FT_FREETYPE_H

#include <cctype>
#include <cmath>
#include <cstdio>

namespace {

void SetColor(cairo_t* cr, const IColor& c) {
  cairo_set_source_rgba(cr, c.R / 255.0, c.G / 255.0, c.B / 255.0, c.A / 255.0);
}

bool EndsWith(const std::string& s, const char* tail) {
  const std::string t(tail);
  if (s.size() < t.size()) return false;
  for (size_t i = 0; i < t.size(); ++i)
    if (std::tolower(static_cast<unsigned char>(s[s.size() - t.size() + i])) != t[i]) return false;
  return true;
}

// Each font face owns its own FreeType library; Cairo frees both together through a FreeType
// function when it drops the face, so no callback into this module outlives it.
const cairo_user_data_key_t kFreeTypeLibraryKey = {};

void DoneFreeType(void* library) {
  FT_Done_FreeType(static_cast<FT_Library>(library));
}

} // namespace

std::string IGraphics::ResourceFile(const char* name) const {
  if (mResourcePath.empty()) return name;
  return mResourcePath + (mResourcePath.back() == '/' ? "" : "/") + name;
}

void IGraphics::ReportResourceError(const std::string& what) {
  std::fprintf(stderr, "editor: %s\n", what.c_str());
  mResourceErrors.push_back(what);
}

IBitmap IGraphics::LoadBitmap(const char* name, int nFrames) {
  const std::string key = name ? name : "";
  // One decode per file; the same picture may be asked for with another frame count. A file
  // that failed stays failed for this editor, reported once.
  auto it = mBitmapCache.find(key);
  if (it != mBitmapCache.end()) return it->second.WithFrames(nFrames);
  const std::string path = ResourceFile(key.c_str());
  std::string error;
  cairo_surface_t* s = EndsWith(key, ".jpg") || EndsWith(key, ".jpeg")
                           ? LoadJpegSurface(path, error)
                           : LoadPngSurface(path, error);
  if (!s) ReportResourceError("image " + path + " " + error);
  IBitmap bitmap(s, nFrames, key);
  mBitmapCache.emplace(key, bitmap);
  return bitmap;
}

bool IGraphics::LoadFont(const char* id, const char* fileName) {
  const std::string key = id ? id : "";
  if (mFonts.count(key)) return true;
  const std::string path = ResourceFile(fileName ? fileName : "");
  FT_Library library = nullptr;
  if (FT_Init_FreeType(&library) != 0) {
    ReportResourceError("font " + path + " not loaded (FreeType failed to start)");
    return false;
  }
  FT_Face face = nullptr;
  if (FT_New_Face(library, path.c_str(), 0, &face) != 0) {
    FT_Done_FreeType(library);
    std::FILE* f = std::fopen(path.c_str(), "rb");
    ReportResourceError("font " + path + (f ? " unreadable" : " missing"));
    if (f) std::fclose(f);
    return false;
  }
  cairo_font_face_t* ff = cairo_ft_font_face_create_for_ft_face(face, 0);
  if (cairo_font_face_status(ff) != CAIRO_STATUS_SUCCESS ||
      cairo_font_face_set_user_data(ff, &kFreeTypeLibraryKey, library, DoneFreeType) !=
          CAIRO_STATUS_SUCCESS) {
    cairo_font_face_destroy(ff);
    FT_Done_FreeType(library);
    ReportResourceError("font " + path + " not usable");
    return false;
  }
  mFonts.emplace(key, ff);
  if (mFirstFont.empty()) mFirstFont = key;
  return true;
}

void IGraphics::AttachBackground(const char* name) {
  mBackground = LoadBitmap(name, 1);
  if (mBackgroundCache) cairo_surface_destroy(mBackgroundCache);
  mBackgroundCache = nullptr;
  mAllDirty = true;
}

void IGraphics::ReleaseDrawingResources() {
  for (auto& f : mFonts) cairo_font_face_destroy(f.second);
  mFonts.clear();
  if (mBackgroundCache) cairo_surface_destroy(mBackgroundCache);
  mBackgroundCache = nullptr;
  mBitmapCache.clear();
}

// ---- Painting ----

void IGraphics::Draw(cairo_t* cr, const IRECT& dirtyWindowRect) {
  const IRECT window(0.f, 0.f, float(WindowWidth()), float(WindowHeight()));
  const IRECT area = dirtyWindowRect.PixelAligned().Intersect(window);
  if (!cr || area.Empty()) return;
  mCr = cr;
  cairo_save(cr);
  cairo_rectangle(cr, area.L, area.T, area.W(), area.H());
  cairo_clip(cr);
  DrawBackground();
  cairo_scale(cr, mScale, mScale);
  const IRECT designArea = area.Scaled(1.f / mScale).Padded(1.f);
  auto drawControl = [&](IControl& c) {
    if (c.IsHidden() || !c.GetRECT().Union(c.GetTargetRECT()).Intersects(designArea)) return;
    cairo_save(cr);
    c.Draw(*this);
    cairo_restore(cr);
  };
  for (auto& c : mControls) drawControl(*c);
  if (mCornerResizer) drawControl(*mCornerResizer);
  cairo_restore(cr);
  mCr = nullptr;
}

void IGraphics::DrawBackground() {
  cairo_t* cr = mCr;
  cairo_set_source_rgb(cr, 0.16, 0.16, 0.17); // under a missing or smaller picture
  cairo_paint(cr);
  if (!mBackground.IsValid()) return;
  // The pixels drawn per design pixel, the window's own content scale (HiDPI) included.
  double ux = 1.0, uy = 0.0;
  cairo_user_to_device_distance(cr, &ux, &uy);
  const double device = std::hypot(ux, uy) > 0.0 ? std::hypot(ux, uy) : 1.0;
  const float pixelScale = static_cast<float>(mScale * device);
  cairo_save(cr);
  if (pixelScale >= 1.f) {
    // Enlarging is cheap: straight from the picture.
    cairo_scale(cr, mScale, mScale);
    cairo_set_source_surface(cr, mBackground.Surface(), 0, 0);
    cairo_pattern_set_filter(cairo_get_source(cr), CAIRO_FILTER_BILINEAR);
    cairo_pattern_set_extend(cairo_get_source(cr), CAIRO_EXTEND_PAD); // no dark seam at edges
    cairo_rectangle(cr, 0, 0, mBackground.W(), mBackground.H());
    cairo_clip(cr);
  } else {
    // A good reduction is costly: done once per pixel scale into a copy the size of the window.
    if (!mBackgroundCache || mBackgroundCacheScale != pixelScale) {
      if (mBackgroundCache) cairo_surface_destroy(mBackgroundCache);
      const int w = std::max(1, static_cast<int>(std::ceil(mBackground.W() * pixelScale)));
      const int h = std::max(1, static_cast<int>(std::ceil(mBackground.H() * pixelScale)));
      mBackgroundCache = cairo_image_surface_create(CAIRO_FORMAT_RGB24, w, h);
      cairo_t* bc = cairo_create(mBackgroundCache);
      cairo_scale(bc, pixelScale, pixelScale);
      cairo_set_source_surface(bc, mBackground.Surface(), 0, 0);
      cairo_pattern_set_filter(cairo_get_source(bc), CAIRO_FILTER_GOOD);
      cairo_paint(bc);
      cairo_destroy(bc);
      mBackgroundCacheScale = pixelScale;
    }
    cairo_scale(cr, 1.0 / device, 1.0 / device);
    cairo_set_source_surface(cr, mBackgroundCache, 0, 0);
    cairo_pattern_set_filter(cairo_get_source(cr), CAIRO_FILTER_NEAREST);
  }
  cairo_paint(cr);
  cairo_restore(cr);
}

void IGraphics::DrawBitmap(const IBitmap& bitmap, const IRECT& rect, int frame, float alpha) {
  if (!mCr || !bitmap.IsValid()) return;
  const int n = bitmap.NFrames();
  frame = std::clamp(frame, 1, n);
  const int fw = bitmap.FrameW(), fh = bitmap.FrameH();
  const double x = rect.L + std::floor((rect.W() - fw) * 0.5);
  const double y = rect.T + std::floor((rect.H() - fh) * 0.5);
  // A sub-surface keeps the filter from sampling the neighbouring frames.
  cairo_surface_t* sub =
      cairo_surface_create_for_rectangle(bitmap.Surface(), 0, double(fh) * (frame - 1), fw, fh);
  cairo_save(mCr);
  cairo_set_source_surface(mCr, sub, x, y);
  cairo_pattern_set_filter(cairo_get_source(mCr), CAIRO_FILTER_GOOD);
  cairo_rectangle(mCr, x, y, fw, fh);
  cairo_clip(mCr);
  if (alpha >= 1.f)
    cairo_paint(mCr);
  else
    cairo_paint_with_alpha(mCr, alpha);
  cairo_restore(mCr);
  cairo_surface_destroy(sub);
}

bool IGraphics::SetFont(const IText& text) {
  auto it = mFonts.find(text.font.empty() ? mFirstFont : text.font);
  if (it == mFonts.end()) it = mFonts.find(mFirstFont);
  // Without a loaded font there is no text: the missing file has been reported already, and
  // the system's fonts are not ours to depend on.
  if (it == mFonts.end()) return false;
  cairo_set_font_face(mCr, it->second);
  cairo_set_font_size(mCr, text.size);
  // Unhinted metrics keep text placement the same at every scale.
  cairo_font_options_t* options = cairo_font_options_create();
  cairo_font_options_set_hint_metrics(options, CAIRO_HINT_METRICS_OFF);
  cairo_font_options_set_hint_style(options, CAIRO_HINT_STYLE_NONE);
  cairo_set_font_options(mCr, options);
  cairo_font_options_destroy(options);
  return true;
}

void IGraphics::DrawText(const IText& text, const char* str, const IRECT& rect) {
  if (!mCr || !str || !*str) return;
  cairo_save(mCr);
  if (!SetFont(text)) {
    cairo_restore(mCr);
    return;
  }
  cairo_text_extents_t te;
  cairo_text_extents(mCr, str, &te);
  cairo_font_extents_t fe;
  cairo_font_extents(mCr, &fe);
  double x = rect.L;
  if (text.align == EAlign::kCenter) x = rect.MW() - te.x_advance * 0.5;
  if (text.align == EAlign::kFar) x = rect.R - te.x_advance;
  double y = rect.MH() + (fe.ascent - fe.descent) * 0.5;
  if (text.valign == EVAlign::kTop) y = rect.T + fe.ascent;
  if (text.valign == EVAlign::kBottom) y = rect.B - fe.descent;
  SetColor(mCr, text.color);
  cairo_move_to(mCr, x, y);
  cairo_show_text(mCr, str);
  cairo_restore(mCr);
}

float IGraphics::MeasureText(const IText& text, const char* str) {
  if (!str || !*str) return 0.f;
  cairo_t* saved = mCr;
  cairo_surface_t* scratch = nullptr;
  if (!mCr) {
    scratch = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 1, 1);
    mCr = cairo_create(scratch);
  }
  cairo_save(mCr);
  cairo_text_extents_t te = {};
  if (SetFont(text)) cairo_text_extents(mCr, str, &te);
  cairo_restore(mCr);
  if (scratch) {
    cairo_destroy(mCr);
    cairo_surface_destroy(scratch);
  }
  mCr = saved;
  return static_cast<float>(te.x_advance);
}

void IGraphics::FillRect(const IColor& color, const IRECT& rect) {
  if (!mCr) return;
  SetColor(mCr, color);
  cairo_rectangle(mCr, rect.L, rect.T, rect.W(), rect.H());
  cairo_fill(mCr);
}

void IGraphics::DrawRect(const IColor& color, const IRECT& rect, float thickness) {
  if (!mCr) return;
  SetColor(mCr, color);
  cairo_set_line_width(mCr, thickness);
  cairo_rectangle(mCr, rect.L + thickness * 0.5, rect.T + thickness * 0.5, rect.W() - thickness,
                  rect.H() - thickness);
  cairo_stroke(mCr);
}

void IGraphics::FillTriangle(const IColor& color, float x1, float y1, float x2, float y2, float x3,
                             float y3) {
  if (!mCr) return;
  SetColor(mCr, color);
  cairo_move_to(mCr, x1, y1);
  cairo_line_to(mCr, x2, y2);
  cairo_line_to(mCr, x3, y3);
  cairo_close_path(mCr);
  cairo_fill(mCr);
}

void IGraphics::FillCircle(const IColor& color, float cx, float cy, float r) {
  if (!mCr) return;
  SetColor(mCr, color);
  cairo_new_sub_path(mCr);
  cairo_arc(mCr, cx, cy, r, 0.0, 2.0 * M_PI);
  cairo_fill(mCr);
}

void IGraphics::DrawLine(const IColor& color, float x1, float y1, float x2, float y2,
                         float thickness) {
  if (!mCr) return;
  SetColor(mCr, color);
  cairo_set_line_width(mCr, thickness);
  cairo_move_to(mCr, x1, y1);
  cairo_line_to(mCr, x2, y2);
  cairo_stroke(mCr);
}
