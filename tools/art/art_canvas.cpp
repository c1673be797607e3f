#include "tools/art/art_canvas.h"

#include <cairo-ft.h>
#include <cstdio>
#include <jpeglib.h>
#include <vector>

namespace art {

namespace {
FT_Library library = nullptr;
cairo_font_face_t* regular = nullptr;
cairo_font_face_t* medium = nullptr;

cairo_font_face_t* loadFace(const std::string& path) {
  FT_Face face = nullptr;
  if (FT_New_Face(library, path.c_str(), 0, &face) != 0) {
    std::fprintf(stderr, "varnel-art: cannot read the font %s\n", path.c_str());
    return nullptr;
  }
  return cairo_ft_font_face_create_for_ft_face(face, 0);
}

void useFace(cairo_t* cr, cairo_font_face_t* face, double size) {
  if (face) cairo_set_font_face(cr, face);
  cairo_set_font_size(cr, size);
}
} // namespace

Colour hex(unsigned rgb, double alpha) {
  return {((rgb >> 16) & 255) / 255.0, ((rgb >> 8) & 255) / 255.0, (rgb & 255) / 255.0, alpha};
}

void setColour(cairo_t* cr, const Colour& c) {
  cairo_set_source_rgba(cr, c.r, c.g, c.b, c.a);
}

bool loadFonts(const std::string& fontFolder) {
  if (!library && FT_Init_FreeType(&library) != 0) return false;
  regular = loadFace(fontFolder + "/Roboto-Regular.ttf");
  medium = loadFace(fontFolder + "/Roboto-Medium.ttf");
  return regular && medium;
}

void useRegular(cairo_t* cr, double size) {
  useFace(cr, regular, size);
}
void useMedium(cairo_t* cr, double size) {
  useFace(cr, medium, size);
}

double textWidth(cairo_t* cr, const std::string& s, double spacing) {
  cairo_text_extents_t ext;
  cairo_text_extents(cr, s.c_str(), &ext);
  return ext.x_advance + (s.empty() ? 0 : spacing * static_cast<double>(s.size() - 1));
}

void text(cairo_t* cr, const std::string& s, double x, double cy, Align align, double spacing) {
  double w = textWidth(cr, s, spacing);
  if (align == Align::Centre) x -= w / 2;
  if (align == Align::Right) x -= w;
  cairo_font_extents_t fe;
  cairo_font_extents(cr, &fe);
  // Cap height of Roboto is about 0.71 em: centre the capitals on cy.
  double y = cy + 0.355 * (fe.ascent + fe.descent) / 1.17;
  if (spacing == 0) {
    cairo_move_to(cr, x, y);
    cairo_show_text(cr, s.c_str());
    return;
  }
  char one[2] = {0, 0};
  for (char c : s) {
    one[0] = c;
    cairo_move_to(cr, x, y);
    cairo_show_text(cr, one);
    cairo_text_extents_t ext;
    cairo_text_extents(cr, one, &ext);
    x += ext.x_advance + spacing;
  }
}

void roundedRect(cairo_t* cr, double x, double y, double w, double h, double r) {
  const double pi = 3.14159265358979;
  cairo_new_sub_path(cr);
  cairo_arc(cr, x + w - r, y + r, r, -pi / 2, 0);
  cairo_arc(cr, x + w - r, y + h - r, r, 0, pi / 2);
  cairo_arc(cr, x + r, y + h - r, r, pi / 2, pi);
  cairo_arc(cr, x + r, y + r, r, pi, 1.5 * pi);
  cairo_close_path(cr);
}

void addGrain(cairo_surface_t* s, int amount, unsigned seed) {
  cairo_surface_flush(s);
  unsigned char* data = cairo_image_surface_get_data(s);
  int w = cairo_image_surface_get_width(s), h = cairo_image_surface_get_height(s);
  int stride = cairo_image_surface_get_stride(s);
  unsigned x = seed ? seed : 1u;
  for (int row = 0; row < h; ++row) {
    auto* p = reinterpret_cast<uint32_t*>(data + row * stride);
    for (int col = 0; col < w; ++col) {
      x ^= x << 13;
      x ^= x >> 17;
      x ^= x << 5;
      int d = static_cast<int>(x % (2 * amount + 1)) - amount;
      uint32_t px = p[col];
      int a = px >> 24;
      if (a != 255) continue; // only opaque panel surface
      int r = ((px >> 16) & 255) + d, g = ((px >> 8) & 255) + d, b = (px & 255) + d;
      auto clamp = [](int v) { return v < 0 ? 0 : (v > 255 ? 255 : v); };
      p[col] = (255u << 24) | (clamp(r) << 16) | (clamp(g) << 8) | clamp(b);
    }
  }
  cairo_surface_mark_dirty(s);
}

bool writePng(cairo_surface_t* s, const std::string& path) {
  if (cairo_surface_write_to_png(s, path.c_str()) != CAIRO_STATUS_SUCCESS) {
    std::fprintf(stderr, "varnel-art: cannot write %s\n", path.c_str());
    return false;
  }
  return true;
}

bool writeJpeg(cairo_surface_t* s, const std::string& path, int quality) {
  cairo_surface_flush(s);
  FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) {
    std::fprintf(stderr, "varnel-art: cannot write %s\n", path.c_str());
    return false;
  }
  jpeg_compress_struct cinfo;
  jpeg_error_mgr jerr;
  cinfo.err = jpeg_std_error(&jerr);
  jpeg_create_compress(&cinfo);
  jpeg_stdio_dest(&cinfo, f);
  int w = cairo_image_surface_get_width(s), h = cairo_image_surface_get_height(s);
  cinfo.image_width = static_cast<JDIMENSION>(w);
  cinfo.image_height = static_cast<JDIMENSION>(h);
  cinfo.input_components = 3;
  cinfo.in_color_space = JCS_RGB;
  jpeg_set_defaults(&cinfo);
  jpeg_set_quality(&cinfo, quality, TRUE);
  jpeg_start_compress(&cinfo, TRUE);
  const unsigned char* data = cairo_image_surface_get_data(s);
  int stride = cairo_image_surface_get_stride(s);
  std::vector<unsigned char> row(static_cast<size_t>(w) * 3);
  while (cinfo.next_scanline < cinfo.image_height) {
    auto* p = reinterpret_cast<const uint32_t*>(data + cinfo.next_scanline * stride);
    for (int x = 0; x < w; ++x) {
      row[3 * x] = (p[x] >> 16) & 255;
      row[3 * x + 1] = (p[x] >> 8) & 255;
      row[3 * x + 2] = p[x] & 255;
    }
    JSAMPROW rows[1] = {row.data()};
    jpeg_write_scanlines(&cinfo, rows, 1);
  }
  jpeg_finish_compress(&cinfo);
  jpeg_destroy_compress(&cinfo);
  return std::fclose(f) == 0;
}

} // namespace art
