// The whole panel drawn offscreen, compared with the pictures kept in the repository. Set
// VARNEL_UPDATE_EDITOR_REFERENCES=1 to write new references after a deliberate change of the
// artwork (and look at them before committing).
#include "tests/unit/editor/editor_fixture.h"

#include <cairo.h>

#include <algorithm>
#include <cstdlib>
#include <string>

using editortest::Editor;

namespace {

struct Picture {
  const char* file;
  double scale;
  int program;
  bool resonators;
};

const Picture kPictures[] = {
    {"panel_050_equaliser_program37.png", 0.5, 37, false},
    {"panel_050_resonators.png", 0.5, 0, true},
    {"panel_100_resonators.png", 1.0, 0, true},
};

// Largest difference of any channel of any pixel, and how many pixels differ by more than 2.
struct Difference {
  int largest = 0;
  long pixels = 0;
};

Difference compare(cairo_surface_t* a, cairo_surface_t* b) {
  Difference d;
  const int w = cairo_image_surface_get_width(a), h = cairo_image_surface_get_height(a);
  const unsigned char* pa = cairo_image_surface_get_data(a);
  const unsigned char* pb = cairo_image_surface_get_data(b);
  const int sa = cairo_image_surface_get_stride(a), sb = cairo_image_surface_get_stride(b);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < 4 * w; x += 4) {
      int worst = 0;
      for (int c = 0; c < 4; ++c)
        worst = std::max(worst, std::abs(pa[y * sa + x + c] - pb[y * sb + x + c]));
      d.largest = std::max(d.largest, worst);
      d.pixels += worst > 2;
    }
  return d;
}

} // namespace

TEST(EditorPicture, WholePanelMatchesItsReference) {
  const bool update = std::getenv("VARNEL_UPDATE_EDITOR_REFERENCES") != nullptr;
  for (const Picture& p : kPictures) {
    SCOPED_TRACE(p.file);
    Editor ed(p.scale, p.program, p.resonators);
    EXPECT_TRUE(ed.g->GetResourceErrors().empty());
    EXPECT_EQ(ed.g->WindowWidth(), static_cast<int>(2512 * p.scale));
    cairo_surface_t* drawn = RenderToImage(*ed.g);
    const std::string reference = std::string(VARNEL_EDITOR_REFERENCES) + "/" + p.file;
    if (update) cairo_surface_write_to_png(drawn, reference.c_str());
    // What was drawn, for a look when the comparison fails.
    cairo_surface_write_to_png(drawn, (std::string("drawn_") + p.file).c_str());
    cairo_surface_t* kept = cairo_image_surface_create_from_png(reference.c_str());
    ASSERT_EQ(cairo_surface_status(kept), CAIRO_STATUS_SUCCESS) << reference;
    ASSERT_EQ(cairo_image_surface_get_width(kept), cairo_image_surface_get_width(drawn));
    ASSERT_EQ(cairo_image_surface_get_height(kept), cairo_image_surface_get_height(drawn));
    const Difference d = compare(drawn, kept);
    // Small rounding differences of a text or image library are allowed; a moved control,
    // lamp or picture is not.
    EXPECT_LE(d.largest, 24);
    EXPECT_LE(d.pixels, 200);
    cairo_surface_destroy(kept);
    cairo_surface_destroy(drawn);
  }
}
