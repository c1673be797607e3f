#pragma once
// The font of pop-up menus and text fields: a TrueType file loaded once per process through
// FreeType, so no system font lookup happens inside a host.
#include <cairo.h>

#include <string>

// The face of the file at path, or null when it cannot be loaded. The face stays valid for the
// life of the process; callers do not destroy it.
cairo_font_face_t* PopupFontFace(const std::string& path);
