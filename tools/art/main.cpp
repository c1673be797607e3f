// varnel-art: writes the editor's background and control pictures into a folder.
//   varnel-art OUTPUT_FOLDER FONT_FOLDER
#include "tools/art/art_canvas.h"
#include "tools/art/control_art.h"
#include "tools/art/panel_art.h"

#include <cstdio>
#include <string>

using panel::Bitmap;

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: varnel-art OUTPUT_FOLDER FONT_FOLDER\n");
    return 2;
  }
  std::string out = argv[1], fonts = argv[2];
  if (!art::loadFonts(fonts)) return 1;
  bool ok = true;

  cairo_surface_t* common = art::makePanel(art::PanelGroup::Common);
  cairo_surface_t* res = art::cutGroupBack(common, Bitmap::ResBack, art::PanelGroup::Resonators);
  cairo_surface_t* eq = art::cutGroupBack(common, Bitmap::EqBack, art::PanelGroup::Equaliser);
  ok &= art::writePng(res, out + "/" + panel::bitmapSpec(Bitmap::ResBack).file);
  ok &= art::writePng(eq, out + "/" + panel::bitmapSpec(Bitmap::EqBack).file);
  // The background carries the equaliser print under the group pictures, so it reads
  // sensibly even where a picture is missing.
  cairo_t* cr = cairo_create(common);
  cairo_surface_t* eqPrint = art::makePanel(art::PanelGroup::Equaliser);
  cairo_set_source_surface(cr, eqPrint, 0, 0);
  cairo_paint(cr);
  cairo_destroy(cr);
  cairo_surface_destroy(eqPrint);
  ok &= art::writeJpeg(common, out + "/" + panel::kBackgroundFile, 92);
  cairo_surface_destroy(res);
  cairo_surface_destroy(eq);
  cairo_surface_destroy(common);

  for (int i = 1; i < static_cast<int>(Bitmap::Count); ++i) {
    auto b = static_cast<Bitmap>(i);
    cairo_surface_t* s = art::makeControlArt(b);
    if (!s) continue;
    ok &= art::writePng(s, out + "/" + panel::bitmapSpec(b).file);
    cairo_surface_destroy(s);
  }
  return ok ? 0 : 1;
}
