// The editor opens without any resources and renders its whole window offscreen.
#include "framework/gui/basic_controls.h"
#include "framework/gui/graphics.h"
#include "framework/gui/offscreen.h"
#include "tests/unit/gui/gui_test_plug.h"

#include <gtest/gtest.h>

TEST(GraphicsSmoke, RendersWindowSizedImageWithoutResources) {
  GuiTestPlug plug;
  IGraphics g(plug, 200, 100, 0.5f);
  g.AttachControl(new ITextControl(IRECT(10, 10, 190, 40), "Hello", IText(20, IColor())));
  cairo_surface_t* s = RenderToImage(g);
  EXPECT_EQ(cairo_image_surface_get_width(s), 100);
  EXPECT_EQ(cairo_image_surface_get_height(s), 50);
  cairo_surface_destroy(s);
}
