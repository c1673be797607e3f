#include "framework/gui/popup_menu_font.h"

#include <cairo-ft.h>
#include <ft2build.h>
#include FT_FREETYPE_H

#include <map>
#include <memory>

namespace {

const cairo_user_data_key_t kLibraryKey = {};

void DoneLibrary(void* library) {
  FT_Done_FreeType(static_cast<FT_Library>(library));
}

struct FaceCache {
  std::map<std::string, cairo_font_face_t*> faces;
  ~FaceCache() {
    for (auto& f : faces)
      if (f.second) cairo_font_face_destroy(f.second);
  }
};

cairo_font_face_t* Load(const std::string& path) {
  FT_Library library = nullptr;
  if (FT_Init_FreeType(&library) != 0) return nullptr;
  FT_Face face = nullptr;
  if (FT_New_Face(library, path.c_str(), 0, &face) != 0) {
    FT_Done_FreeType(library);
    return nullptr;
  }
  // The face's FreeType library goes with the Cairo face.
  cairo_font_face_t* ff = cairo_ft_font_face_create_for_ft_face(face, 0);
  if (cairo_font_face_status(ff) != CAIRO_STATUS_SUCCESS ||
      cairo_font_face_set_user_data(ff, &kLibraryKey, library, DoneLibrary) !=
          CAIRO_STATUS_SUCCESS) {
    cairo_font_face_destroy(ff);
    FT_Done_FreeType(library);
    return nullptr;
  }
  return ff;
}

} // namespace

cairo_font_face_t* PopupFontFace(const std::string& path) {
  static FaceCache cache;
  auto it = cache.faces.find(path);
  if (it == cache.faces.end()) it = cache.faces.emplace(path, Load(path)).first;
  return it->second;
}
