#pragma once
// Drawing helpers of the artwork tool: fonts, text, shapes, surface texture and file writers.
#include <cairo.h>

#include <string>

namespace art {

struct Colour {
  double r, g, b, a = 1.0;
};
Colour hex(unsigned rgb, double alpha = 1.0);
void setColour(cairo_t* cr, const Colour& c);

// The two faces of Debian's Roboto that the artwork uses; false when a file is missing.
bool loadFonts(const std::string& fontFolder);
void useRegular(cairo_t* cr, double size);
void useMedium(cairo_t* cr, double size);

enum class Align { Left, Centre, Right };
double textWidth(cairo_t* cr, const std::string& text, double spacing = 0);
// Text vertically centred on cy, placed by x according to the alignment.
void text(cairo_t* cr, const std::string& s, double x, double cy, Align align, double spacing = 0);

void roundedRect(cairo_t* cr, double x, double y, double w, double h, double r);

// A deterministic fine grain over the whole surface (amount: largest change per channel).
void addGrain(cairo_surface_t* s, int amount, unsigned seed);

bool writePng(cairo_surface_t* s, const std::string& path);
bool writeJpeg(cairo_surface_t* s, const std::string& path, int quality);

} // namespace art
