// The panel's menus in a real X window: the built bundle loaded and its editor opened as a DAW
// does, under a private Xvfb, with the mouse and keys of XTest.
#include <gtest/gtest.h>

#include "plugin/panel_layout.h"
#include "plugin/param_ids.h"
#include "tests/integration/bundle_fixture.h"
#include "tests/integration/editor_window_fixture.h"

#include <X11/Xlib.h>
#include <X11/keysym.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <unistd.h>
#include <vector>

using Gesture = vhost::ComponentHandler::Gesture;

namespace {

constexpr float kScale = 0.5f; // the editor's default size
constexpr int kItemH = 24;     // menu rows and border at scale 1
constexpr int kBorder = 1;

panel::Rect boxOf(const panel::Entry& e) {
  if (!e.place.empty()) return e.place;
  const panel::BitmapSpec& b = panel::bitmapSpec(e.bitmap);
  return {e.place.l, e.place.t, e.place.l + float(b.frameW), e.place.t + float(b.frameH)};
}

const panel::Entry* entryOf(panel::Kind kind, int id) {
  for (const panel::Entry& e : panel::layout())
    if (e.kind == kind && e.id == id) return &e;
  return nullptr;
}

// A window point (scale 0.5) where only the empty panel lies.
bool emptyPoint(int& x, int& y) {
  for (float dy = 40; dy < panel::kHeight - 40; dy += 8)
    for (float dx = 40; dx < panel::kWidth - 40; dx += 8) {
      bool free = true;
      for (const panel::Entry& e : panel::layout()) {
        if (e.kind == panel::Kind::SizeContext || e.kind == panel::Kind::CornerResizer) continue;
        const panel::Rect r = boxOf(e).grown(12);
        if (dx >= r.l && dx < r.r && dy >= r.t && dy < r.b) free = false;
      }
      if (free) {
        x = int(dx * kScale);
        y = int(dy * kScale);
        return true;
      }
    }
  return false;
}

struct PopupWindow {
  Window id;
  int x, y, w, h;
};

// The menu panels on the screen, bottom to top.
std::vector<PopupWindow> popups(Display* d) {
  std::vector<PopupWindow> out;
  Window root = 0, parent = 0, *children = nullptr;
  unsigned n = 0;
  XQueryTree(d, DefaultRootWindow(d), &root, &parent, &children, &n);
  for (unsigned i = 0; i < n; ++i) {
    XWindowAttributes a{};
    if (XGetWindowAttributes(d, children[i], &a) && a.override_redirect &&
        a.map_state == IsViewable)
      out.push_back({children[i], a.x, a.y, a.width, a.height});
  }
  if (children) XFree(children);
  return out;
}

class EditorMenusTest : public ::testing::Test {
protected:
  void SetUp() override {
    std::string why;
    ASSERT_TRUE(itest::startXServer(&why)) << why;
    started = std::make_unique<itest::StartedPlugin>();
    host = std::make_unique<vhost::EditorHost>(itest::xServer().display());
    ASSERT_TRUE(host->open(started->plugin.controller(), {}, &why)) << why;
    host->pump(100);
    started->plugin.handler().takeGestures();
  }
  void TearDown() override {
    host.reset();
    started.reset();
  }
  // Root position of a window point of the editor.
  void toRoot(int x, int y, int& rx, int& ry) {
    Window child = 0;
    XTranslateCoordinates(host->display(), host->parentWindow(), DefaultRootWindow(host->display()),
                          x, y, &rx, &ry, &child);
  }
  // Clicks at a root point (menus live on the root window).
  void clickRoot(int rx, int ry) {
    int px = 0, py = 0;
    Window child = 0;
    XTranslateCoordinates(host->display(), DefaultRootWindow(host->display()), host->parentWindow(),
                          rx, ry, &px, &py, &child);
    host->moveTo(px, py);
    host->pump(40);
    host->click(px, py);
    host->pump(80);
  }
  void moveRoot(int rx, int ry) {
    int px = 0, py = 0;
    Window child = 0;
    XTranslateCoordinates(host->display(), DefaultRootWindow(host->display()), host->parentWindow(),
                          rx, ry, &px, &py, &child);
    host->moveTo(px, py);
    host->pump(80);
  }
  void key(unsigned long sym) {
    host->keyDown(sym);
    host->keyUp(sym);
    host->pump(30);
  }
  void typeText(const std::string& text) {
    for (char c : text) {
      const bool upper = c >= 'A' && c <= 'Z';
      if (upper) host->keyDown(XK_Shift_L);
      const unsigned long sym = c == ' ' ? XK_space : static_cast<unsigned long>(std::tolower(c));
      host->keyDown(sym);
      host->keyUp(sym);
      if (upper) host->keyUp(XK_Shift_L);
      host->pump(15);
    }
  }
  // Clicks the centre of a control of the layout.
  void clickControl(const panel::Entry& e, int button = 1) {
    const panel::Rect r = boxOf(e);
    host->click(int(r.cx() * kScale), int(r.cy() * kScale), button);
    host->pump(100);
  }
  bool stateHolds(const std::string& text) {
    const std::vector<uint8_t> state = started->plugin.getState();
    return std::search(state.begin(), state.end(), text.begin(), text.end()) != state.end();
  }

  std::unique_ptr<itest::StartedPlugin> started;
  std::unique_ptr<vhost::EditorHost> host;
};

} // namespace

TEST_F(EditorMenusTest, RightClickOnTheEmptyPanelOpensTheSizeMenuAtThePointer) {
  int x = 0, y = 0;
  ASSERT_TRUE(emptyPoint(x, y));
  host->moveTo(x, y);
  host->pump(40);
  host->click(x, y, 3);
  host->pump(120);
  const auto shown = popups(host->display());
  ASSERT_EQ(shown.size(), 1u);
  int rx = 0, ry = 0;
  toRoot(x, y, rx, ry);
  EXPECT_EQ(shown[0].x, rx);
  EXPECT_EQ(shown[0].y, ry);
  // "Set Windows Size to 200%" is the fourth row.
  clickRoot(rx + 40, ry + kBorder + 3 * kItemH + kItemH / 2);
  EXPECT_TRUE(popups(host->display()).empty());
  EXPECT_EQ(host->width(), 1776);
  EXPECT_EQ(host->height(), 735);
  // A left click there opens nothing.
  host->click(x, y, 1);
  host->pump(80);
  EXPECT_TRUE(popups(host->display()).empty());
}

TEST_F(EditorMenusTest, ASelectorSubmenuItemChosenWithTheMouseReachesTheHost) {
  const panel::Entry* fc = entryOf(panel::Kind::Selector, kFcSrc);
  ASSERT_NE(fc, nullptr);
  clickControl(*fc);
  auto shown = popups(host->display());
  ASSERT_EQ(shown.size(), 1u);
  // "MIDI" is the sixth row of the top level; hovering it opens its submenu.
  moveRoot(shown[0].x + 20, shown[0].y + kBorder + 5 * kItemH + kItemH / 2);
  shown = popups(host->display());
  ASSERT_EQ(shown.size(), 2u);
  const PopupWindow sub = shown.back();
  moveRoot(sub.x + 20, sub.y + kBorder + kItemH + kItemH / 2);
  clickRoot(sub.x + 20, sub.y + kBorder + kItemH + kItemH / 2); // "VC2"
  EXPECT_TRUE(popups(host->display()).empty());
  const std::vector<Gesture> g = started->plugin.handler().takeGestures();
  bool performed = false;
  for (const Gesture& e : g)
    if (e.kind == Gesture::kPerform && e.id == kFcSrc) {
      performed = true;
      EXPECT_NEAR(e.value, 20.0 / 22.0, 1e-9);
    }
  EXPECT_TRUE(performed);
}

TEST_F(EditorMenusTest, AProgramNameIsTypedAndStored) {
  const panel::Entry* name = entryOf(panel::Kind::PresetName, panel::kNoParam);
  ASSERT_NE(name, nullptr);
  clickControl(*name);
  typeText("Warm Brass");
  key(XK_Return);
  EXPECT_TRUE(stateHolds("Warm Brass"));
}

TEST_F(EditorMenusTest, SaveProgramWithAScriptedDialogWritesAnFxpThatLoadsBack) {
  // A stand-in for zenity that answers every file dialog with one path.
  char folder[] = "/tmp/varnel-menus-XXXXXX";
  ASSERT_NE(mkdtemp(folder), nullptr);
  const std::string dir = folder;
  const std::string fxp = dir + "/saved.fxp";
  {
    std::ofstream script(dir + "/zenity");
    script << "#!/bin/sh\necho '" << fxp << "'\n";
  }
  std::filesystem::permissions(dir + "/zenity", std::filesystem::perms::owner_all);
  const std::string oldPath = std::getenv("PATH") ? std::getenv("PATH") : "";
  setenv("PATH", (dir + ":" + oldPath).c_str(), 1);

  const panel::Entry* options = entryOf(panel::Kind::OptionMenu, panel::kIdOptionMenu);
  ASSERT_NE(options, nullptr);
  clickControl(*options);
  ASSERT_EQ(popups(host->display()).size(), 1u);
  // Copy, Init, Load, Save: "Paste Program" is greyed and skipped.
  for (int i = 0; i < 4; ++i) key(XK_Down);
  key(XK_Return);
  host->pump(300);
  ASSERT_TRUE(std::filesystem::exists(fxp));
  std::ifstream in(fxp, std::ios::binary);
  std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  EXPECT_EQ(bytes.substr(0, 4), "CcnK");
  EXPECT_NE(bytes.find("Vrnl"), std::string::npos);

  // Loaded back through "Load Program" after a change, the program sounds as saved.
  const std::vector<uint8_t> saved = started->plugin.getState();
  clickControl(*entryOf(panel::Kind::Selector, kFcSrc));
  key(XK_Down);
  key(XK_Down);
  key(XK_Return); // "+5V"
  EXPECT_NE(started->plugin.getState(), saved);
  clickControl(*options);
  for (int i = 0; i < 3; ++i) key(XK_Down);
  key(XK_Return); // "Load Program"
  host->pump(300);
  EXPECT_EQ(started->plugin.getState(), saved);

  setenv("PATH", oldPath.c_str(), 1);
  std::filesystem::remove_all(dir);
}
