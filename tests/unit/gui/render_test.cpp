// The same drawing code paints offscreen: background, bitmap frames, text; broken resources are
// reported and skipped, never fatal.
#include "framework/gui/basic_controls.h"
#include "framework/gui/graphics.h"
#include "framework/gui/offscreen.h"
#include "tests/unit/gui/gui_test_plug.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

// After <cstdio>: libjpeg's header needs FILE and size_t.
#include <jpeglib.h>

namespace {

const char* kRoboto = "/usr/share/fonts/truetype/roboto/unhinted/RobotoTTF/Roboto-Regular.ttf";

struct Pixel {
  int a, r, g, b;
};

Pixel At(cairo_surface_t* s, int x, int y) {
  cairo_surface_flush(s);
  const unsigned char* row =
      cairo_image_surface_get_data(s) + y * cairo_image_surface_get_stride(s);
  const uint32_t p = reinterpret_cast<const uint32_t*>(row)[x];
  return {int(p >> 24), int((p >> 16) & 255), int((p >> 8) & 255), int(p & 255)};
}

// A folder of test resources: a 3-frame strip (red, green, blue frames of 10 x 10), a JPEG
// background and some broken files.
class Resources : public ::testing::Test {
protected:
  static void SetUpTestSuite() {
    char tmpl[] = "/tmp/gui_render_XXXXXX";
    dir = mkdtemp(tmpl);
    cairo_surface_t* s = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 10, 30);
    cairo_t* cr = cairo_create(s);
    const double colours[3][3] = {{1, 0, 0}, {0, 1, 0}, {0, 0, 1}};
    for (int i = 0; i < 3; ++i) {
      cairo_set_source_rgb(cr, colours[i][0], colours[i][1], colours[i][2]);
      cairo_rectangle(cr, 0, 10 * i, 10, 10);
      cairo_fill(cr);
    }
    cairo_destroy(cr);
    cairo_surface_write_to_png(s, (dir + "/strip.png").c_str());
    cairo_surface_destroy(s);
    WriteJpeg(dir + "/back.jpg", 40, 20, 200, 100, 50);
    std::ofstream(dir + "/corrupt.png") << "\x89PNG\r\n\x1a\n but then nothing sensible";
    std::ofstream(dir + "/corrupt.jpg") << "\xff\xd8\xff\xe0 not a real JPEG at all";
    std::ofstream(dir + "/corrupt.ttf") << "not a font";
    std::ifstream font(kRoboto, std::ios::binary);
    std::ofstream(dir + "/Roboto-Regular.ttf", std::ios::binary) << font.rdbuf();
  }
  static void TearDownTestSuite() { std::system(("rm -rf " + dir).c_str()); }

  // A picture of w x h in one colour, or with stripe != 0 a checkerboard of that square size.
  static void WriteJpeg(const std::string& path, int w, int h, int r, int g, int b,
                        int stripe = 0) {
    FILE* f = std::fopen(path.c_str(), "wb");
    jpeg_compress_struct c;
    jpeg_error_mgr err;
    c.err = jpeg_std_error(&err);
    jpeg_create_compress(&c);
    jpeg_stdio_dest(&c, f);
    c.image_width = JDIMENSION(w);
    c.image_height = JDIMENSION(h);
    c.input_components = 3;
    c.in_color_space = JCS_RGB;
    jpeg_set_defaults(&c);
    jpeg_set_quality(&c, 100, TRUE);
    jpeg_start_compress(&c, TRUE);
    std::vector<JSAMPLE> row;
    while (c.next_scanline < c.image_height) {
      row.clear();
      for (int x = 0; x < w; ++x) {
        const int v = stripe ? ((x / stripe + int(c.next_scanline) / stripe) % 2) * 255 : 0;
        row.insert(row.end(), {JSAMPLE(r ^ v), JSAMPLE(g ^ v), JSAMPLE(b ^ v)});
      }
      JSAMPROW rows[1] = {row.data()};
      jpeg_write_scanlines(&c, rows, 1);
    }
    jpeg_finish_compress(&c);
    jpeg_destroy_compress(&c);
    std::fclose(f);
  }

  Resources() : g(plug, 40, 20, 1.f) { g.SetResourcePath(dir); }

  static std::string dir;
  GuiTestPlug plug;
  IGraphics g;
};
std::string Resources::dir;

TEST_F(Resources, BitmapFramesAreChosenByValueAndCachedPerEditor) {
  const IBitmap strip = g.LoadBitmap("strip.png", 3);
  ASSERT_TRUE(strip.IsValid());
  EXPECT_EQ(strip.FrameW(), 10);
  EXPECT_EQ(strip.FrameH(), 10);
  EXPECT_EQ(g.LoadBitmap("strip.png", 3).Surface(), strip.Surface());
  const IBitmap whole = g.LoadBitmap("strip.png", 1); // the same file as one picture
  EXPECT_EQ(whole.Surface(), strip.Surface());
  EXPECT_EQ(whole.FrameH(), 30);
  struct Case {
    double value;
    Pixel expected;
  } cases[] = {{0.0, {255, 255, 0, 0}},
               {0.5, {255, 0, 255, 0}},
               {1.0, {255, 0, 0, 255}},
               {0.24, {255, 255, 0, 0}},
               {0.26, {255, 0, 255, 0}}};
  IControl* c = g.AttachControl(new IBitmapControl(5, 5, strip));
  EXPECT_EQ(c->GetRECT(), IRECT(5, 5, 15, 15));
  for (const Case& k : cases) {
    c->SetValueFromPlug(k.value);
    cairo_surface_t* img = RenderToImage(g);
    const Pixel p = At(img, 10, 10);
    EXPECT_EQ(p.r, k.expected.r) << k.value;
    EXPECT_EQ(p.g, k.expected.g) << k.value;
    EXPECT_EQ(p.b, k.expected.b) << k.value;
    cairo_surface_destroy(img);
  }
}

TEST_F(Resources, BackgroundJpegIsScaledAndControlsDrawInAttachOrder) {
  g.AttachBackground("back.jpg");
  const IBitmap strip = g.LoadBitmap("strip.png", 3);
  g.AttachControl(new IBitmapControl(0, 0, strip));                 // red
  IControl* top = g.AttachControl(new IBitmapControl(5, 0, strip)); // drawn over it
  top->SetValueFromPlug(1.0);                                       // blue
  g.Resize(40, 20, 2.f);
  const std::string png = dir + "/window.png";
  ASSERT_TRUE(RenderToPng(g, png));
  cairo_surface_t* img = cairo_image_surface_create_from_png(png.c_str());
  ASSERT_EQ(cairo_surface_status(img), CAIRO_STATUS_SUCCESS);
  EXPECT_EQ(cairo_image_surface_get_width(img), 80);
  EXPECT_EQ(cairo_image_surface_get_height(img), 40);
  const Pixel back = At(img, 60, 30);
  EXPECT_NEAR(back.r, 200, 3);
  EXPECT_NEAR(back.g, 100, 3);
  EXPECT_NEAR(back.b, 50, 3);
  EXPECT_EQ(At(img, 4, 4).r, 255);   // only the first picture there
  EXPECT_EQ(At(img, 16, 10).b, 255); // the overlap shows the later control
  top->Hide(true);
  cairo_surface_t* hidden = RenderToImage(g);
  EXPECT_EQ(At(hidden, 16, 10).r, 255); // hidden controls do not draw
  EXPECT_NEAR(At(hidden, 26, 10).r, 200, 3);
  cairo_surface_destroy(hidden);
  cairo_surface_destroy(img);
}

TEST_F(Resources, BackgroundCoversTheWindowAtEveryScaleAndContentScale) {
  g.AttachBackground("back.jpg");
  for (float scale : {0.25f, 0.5f, 1.f, 2.f}) {
    for (double content : {1.0, 2.0}) { // a HiDPI window scales its context before drawing
      g.Resize(40, 20, scale);
      const int w = int(std::ceil(g.WindowWidth() * content));
      const int h = int(std::ceil(g.WindowHeight() * content));
      cairo_surface_t* img = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, w, h);
      cairo_t* cr = cairo_create(img);
      cairo_scale(cr, content, content);
      g.Draw(cr, IRECT(0, 0, float(g.WindowWidth()), float(g.WindowHeight())));
      cairo_destroy(cr);
      for (int y : {0, h / 2, h - 1})
        for (int x : {0, w / 2, w - 1}) {
          const Pixel p = At(img, x, y);
          EXPECT_NEAR(p.r, 200, 4) << scale << " x" << content << " at " << x << "," << y;
          EXPECT_NEAR(p.b, 50, 4) << scale << " x" << content << " at " << x << "," << y;
        }
      cairo_surface_destroy(img);
    }
  }
}

// Pixels that differ from the background, as a bounding box.
IRECT InkBox(cairo_surface_t* s) {
  IRECT box;
  for (int y = 0; y < cairo_image_surface_get_height(s); ++y)
    for (int x = 0; x < cairo_image_surface_get_width(s); ++x)
      if (At(s, x, y).r > 128) box = box.Union(IRECT(float(x), float(y), x + 1.f, y + 1.f));
  return box;
}

TEST_F(Resources, TextIsDrawnWithTheLoadedFontInsideItsRectangleAsAligned) {
  ASSERT_TRUE(g.LoadFont("Roboto-Regular.ttf", "Roboto-Regular.ttf"));
  EXPECT_TRUE(g.GetResourceErrors().empty());
  const IRECT rect(20, 5, 280, 35);
  struct Case {
    EAlign align;
    float edge; // where the ink's left edge, middle or right edge lies
  } cases[] = {{EAlign::kNear, 20}, {EAlign::kCenter, 150}, {EAlign::kFar, 280}};
  for (const Case& c : cases) {
    const IText style(22.f, IColor(255, 255, 255, 255), "Roboto-Regular.ttf", c.align);
    auto* label = new ITextControl(rect, "VERSION 1.1.2", style);
    IGraphics one(plug, 300, 40, 1.f);
    one.SetResourcePath(dir);
    one.LoadFont("Roboto-Regular.ttf", "Roboto-Regular.ttf");
    one.AttachControl(label);
    cairo_surface_t* img = RenderToImage(one);
    const IRECT ink = InkBox(img);
    EXPECT_FALSE(ink.Empty());
    const float at = c.align == EAlign::kNear ? ink.L : c.align == EAlign::kFar ? ink.R : ink.MW();
    EXPECT_NEAR(at, c.edge, 3.f) << int(c.align);
    EXPECT_GT(ink.W(), 100.f);
    EXPECT_GE(ink.T, rect.T);
    EXPECT_LE(ink.B, rect.B);
    EXPECT_NEAR(ink.MH(), rect.MH(), 3.f); // vertically centred
    cairo_surface_destroy(img);
  }
}

TEST_F(Resources, MissingAndBrokenFilesAreReportedAndTheEditorStillDraws) {
  testing::internal::CaptureStderr();
  EXPECT_FALSE(g.LoadBitmap("nothere.png", 65).IsValid());
  EXPECT_FALSE(g.LoadBitmap("corrupt.png", 2).IsValid());
  g.AttachBackground("corrupt.jpg");
  g.AttachBackground("nothere.jpg");
  EXPECT_FALSE(g.LoadFont("Roboto-Regular.ttf", "nothere.ttf"));
  EXPECT_FALSE(g.LoadFont("Broken", "corrupt.ttf"));
  const std::string err = testing::internal::GetCapturedStderr();
  for (const char* name :
       {"nothere.png", "corrupt.png", "corrupt.jpg", "nothere.jpg", "nothere.ttf", "corrupt.ttf"})
    EXPECT_NE(err.find(name), std::string::npos) << name << " in: " << err;
  EXPECT_FALSE(g.LoadBitmap("nothere.png", 2).IsValid());
  EXPECT_EQ(g.GetResourceErrors().size(), 6u); // each file reported once
  // Controls with missing pictures and text without its font draw what they can.
  g.AttachControl(new IBitmapControl(0, 0, g.LoadBitmap("nothere.png", 65)));
  g.AttachControl(new ITextControl(IRECT(0, 0, 40, 20), "off", IText(14, IColor())));
  cairo_surface_t* img = RenderToImage(g);
  EXPECT_EQ(cairo_image_surface_get_width(img), 40);
  EXPECT_EQ(At(img, 39, 19).a, 255); // a plain panel colour instead of the picture
  cairo_surface_destroy(img);
}

TEST_F(Resources, TruncatedJpegDrawsWhatItHas) {
  // A busy picture, so that half the file holds the header and the upper rows.
  WriteJpeg(dir + "/busy.jpg", 40, 200, 200, 100, 50, 4);
  std::ifstream in(dir + "/busy.jpg", std::ios::binary);
  std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  std::ofstream(dir + "/half.jpg", std::ios::binary) << bytes.substr(0, bytes.size() / 2);
  g.AttachBackground("half.jpg");
  EXPECT_TRUE(g.GetResourceErrors().empty());
  cairo_surface_t* img = RenderToImage(g);
  EXPECT_NEAR(At(img, 1, 1).r, 200, 20);
  EXPECT_NEAR(At(img, 5, 1).r, 200 ^ 255, 20);
  cairo_surface_destroy(img);
}

} // namespace
