// Real pop-up windows on a private Xvfb, driven by XTest from a second connection as a user's
// mouse and keyboard would be.
// Google Test comes before Xlib, whose macros (None, Bool) would clash with it.
#include <gtest/gtest.h>

#include "framework/gui/popup_menu_font.h"
#include "framework/gui/text_entry_xkb.h"
#include "framework/gui/x11_popup.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>

#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <functional>
#include <poll.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

namespace {

const char* const kRoboto =
    "/usr/share/fonts/truetype/roboto/unhinted/RobotoTTF/Roboto-Regular.ttf";
constexpr int kScreenW = 1280, kScreenH = 1024;

// Xvfb on a display number it picks itself; empty display when it cannot start.
class Xvfb {
public:
  Xvfb() {
    int fds[2];
    if (pipe(fds) != 0) return;
    mPid = fork();
    if (mPid == 0) {
      close(fds[0]);
      const std::string fd = std::to_string(fds[1]);
      const std::string screen = std::to_string(kScreenW) + "x" + std::to_string(kScreenH) + "x24";
      execlp("Xvfb", "Xvfb", "-displayfd", fd.c_str(), "-screen", "0", screen.c_str(), "-nolisten",
             "tcp", "-noreset", static_cast<char*>(nullptr));
      _exit(127);
    }
    close(fds[1]);
    std::string number;
    pollfd p{fds[0], POLLIN, 0};
    char c;
    while (poll(&p, 1, 5000) > 0 && read(fds[0], &c, 1) == 1 && c != '\n') number += c;
    close(fds[0]);
    if (!number.empty()) display = ":" + number;
  }
  ~Xvfb() {
    if (mPid > 0) {
      kill(mPid, SIGTERM);
      waitpid(mPid, nullptr, 0);
    }
  }
  std::string display;

private:
  pid_t mPid = -1;
};

class X11PopupTest : public ::testing::Test {
protected:
  static void SetUpTestSuite() { server = new Xvfb(); }
  static void TearDownTestSuite() {
    delete server;
    server = nullptr;
  }

  void SetUp() override {
    if (server->display.empty()) GTEST_SKIP() << "no Xvfb";
    dpy = XOpenDisplay(server->display.c_str());
    user = XOpenDisplay(server->display.c_str());
    ASSERT_TRUE(dpy && user);
    // The editor's window near the lower right corner of the screen.
    parent = XCreateSimpleWindow(dpy, DefaultRootWindow(dpy), kScreenW - 420, kScreenH - 320, 400,
                                 300, 0, 0, 0);
    XMapWindow(dpy, parent);
    XSync(dpy, False);
    menu.AddItem("Alpha");
    menu.AddItem("Beta", IPopupMenu::kDisabled);
    sub = menu.AddSubmenu("More");
    sub->AddItem("Gamma");
    sub->AddItem("Delta");
    popup = std::make_unique<X11PopupMenu>(dpy, parent, 1.f);
    style.font = PopupFontFace(kRoboto);
  }
  void TearDown() override {
    popup.reset();
    if (dpy) XCloseDisplay(dpy);
    if (user) XCloseDisplay(user);
  }

  bool Open(const IRECT& anchor) {
    answers = 0;
    return popup->Open(menu, anchor, style, [this](IPopupMenu* m, int position) {
      ++answers;
      chosen = m;
      chosenPosition = position;
    });
  }
  // Handles the popup's events until cond holds or two seconds pass.
  bool PumpUntil(const std::function<bool()>& cond) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(2);
    while (std::chrono::steady_clock::now() < end) {
      XSync(user, False);
      while (XPending(dpy)) {
        XEvent e;
        XNextEvent(dpy, &e);
        popup->HandleEvent(e);
      }
      if (cond()) return true;
      usleep(5000);
    }
    return cond();
  }
  void MoveTo(float x, float y) {
    XTestFakeMotionEvent(user, -1, static_cast<int>(x), static_cast<int>(y), CurrentTime);
    XSync(user, False);
  }
  void ClickAt(float x, float y) {
    MoveTo(x, y);
    XTestFakeButtonEvent(user, 1, True, CurrentTime);
    XTestFakeButtonEvent(user, 1, False, CurrentTime);
    XSync(user, False);
  }
  bool ItemCentre(const IPopupMenu* m, int position, float& x, float& y) {
    return popup->Session() && popup->Session()->FindItem(m, position, x, y);
  }
  // Another client can grab the pointer only when the menu let it go.
  bool PointerFree() {
    XSync(dpy, False);
    const Window w = DefaultRootWindow(user);
    const int r = XGrabPointer(user, w, False, ButtonPressMask, GrabModeAsync, GrabModeAsync, None,
                               None, CurrentTime);
    if (r == GrabSuccess) XUngrabPointer(user, CurrentTime);
    XSync(user, False);
    return r == GrabSuccess;
  }

  static Xvfb* server;
  Display* dpy = nullptr;
  Display* user = nullptr;
  Window parent = 0;
  IPopupMenu menu;
  IPopupMenu* sub = nullptr;
  PopupMenuStyle style;
  std::unique_ptr<X11PopupMenu> popup;
  int answers = 0;
  IPopupMenu* chosen = nullptr;
  int chosenPosition = -2;
};

Xvfb* X11PopupTest::server = nullptr;

} // namespace

TEST_F(X11PopupTest, MenuIsATopLevelWindowOnTheScreenBeyondTheEditor) {
  // An anchor at the editor's lower right: the menu reaches past the editor window but stays
  // on the screen, above the anchor because there is no room below.
  ASSERT_TRUE(Open(IRECT(360, 280, 400, 300)));
  EXPECT_TRUE(popup->PointerGrabbed());
  const Window w = popup->PanelWindow(0);
  XWindowAttributes a{};
  ASSERT_TRUE(XGetWindowAttributes(dpy, w, &a));
  EXPECT_TRUE(a.override_redirect);
  EXPECT_EQ(a.map_state, IsViewable);
  Window root = 0, parentOf = 0, *children = nullptr;
  unsigned n = 0;
  XQueryTree(dpy, w, &root, &parentOf, &children, &n);
  if (children) XFree(children);
  EXPECT_EQ(parentOf, DefaultRootWindow(dpy));
  int x = 0, y = 0;
  Window child = 0;
  XTranslateCoordinates(dpy, w, root, 0, 0, &x, &y, &child);
  EXPECT_LE(x + a.width, kScreenW);
  EXPECT_LE(y + a.height, kScreenH - 320 + 280); // above the anchor
  EXPECT_GT(x + a.width, kScreenW - 20);         // past the editor's right edge
  // The panel is painted: its background colour inside the border.
  PumpUntil([] { return true; }); // one round of events
  XImage* image = XGetImage(dpy, w, 3, 3, 1, 1, AllPlanes, ZPixmap);
  ASSERT_NE(image, nullptr);
  EXPECT_EQ(XGetPixel(image, 0, 0) & 0xFFFFFF, 0x28282Eu);
  XDestroyImage(image);
  popup->Close();
}

TEST_F(X11PopupTest, MouseOpensTheSubmenuAndChoosesAnItem) {
  ASSERT_TRUE(Open(IRECT(20, 20, 80, 40)));
  float x = 0, y = 0;
  ASSERT_TRUE(ItemCentre(&menu, 2, x, y));
  MoveTo(x, y);
  ASSERT_TRUE(PumpUntil([&] { return popup->Session()->NLevels() == 2; }));
  EXPECT_NE(popup->PanelWindow(1), 0u);
  ASSERT_TRUE(ItemCentre(sub, 1, x, y));
  ClickAt(x, y);
  ASSERT_TRUE(PumpUntil([&] { return answers == 1; }));
  EXPECT_EQ(chosen, sub);
  EXPECT_EQ(chosenPosition, 1);
  EXPECT_FALSE(popup->IsOpen());
  EXPECT_TRUE(PointerFree());
}

TEST_F(X11PopupTest, AClickElsewhereOrEscapeDismissesAndReleasesTheGrab) {
  ASSERT_TRUE(Open(IRECT(20, 20, 80, 40)));
  ClickAt(5, 5);
  ASSERT_TRUE(PumpUntil([&] { return answers == 1; }));
  EXPECT_EQ(chosen, nullptr);
  EXPECT_EQ(chosenPosition, -1);
  EXPECT_TRUE(PointerFree());

  ASSERT_TRUE(Open(IRECT(20, 20, 80, 40)));
  XTestFakeKeyEvent(user, XKeysymToKeycode(user, XK_Down), True, CurrentTime);
  XTestFakeKeyEvent(user, XKeysymToKeycode(user, XK_Down), False, CurrentTime);
  XTestFakeKeyEvent(user, XKeysymToKeycode(user, XK_Return), True, CurrentTime);
  XTestFakeKeyEvent(user, XKeysymToKeycode(user, XK_Return), False, CurrentTime);
  ASSERT_TRUE(PumpUntil([&] { return answers == 1; }));
  EXPECT_EQ(chosen, &menu);
  EXPECT_EQ(chosenPosition, 0);

  ASSERT_TRUE(Open(IRECT(20, 20, 80, 40)));
  XTestFakeKeyEvent(user, XKeysymToKeycode(user, XK_Escape), True, CurrentTime);
  XTestFakeKeyEvent(user, XKeysymToKeycode(user, XK_Escape), False, CurrentTime);
  ASSERT_TRUE(PumpUntil([&] { return answers == 1; }));
  EXPECT_EQ(chosen, nullptr);
  EXPECT_TRUE(PointerFree());
}

TEST_F(X11PopupTest, ClosingWithTheEditorGivesNoAnswerAndLeavesNoWindow) {
  ASSERT_TRUE(Open(IRECT(20, 20, 80, 40)));
  const Window w = popup->PanelWindow(0);
  popup.reset(); // the editor window goes away with its menu open
  XSync(dpy, False);
  EXPECT_EQ(answers, 0);
  EXPECT_TRUE(PointerFree());
  Window root = 0, parentOf = 0, *children = nullptr;
  unsigned n = 0;
  XQueryTree(dpy, DefaultRootWindow(dpy), &root, &parentOf, &children, &n);
  bool found = false;
  for (unsigned i = 0; i < n; ++i) found = found || children[i] == w;
  if (children) XFree(children);
  EXPECT_FALSE(found);
}

TEST_F(X11PopupTest, KeysTypeTheTextOfTheServersKeymap) {
  XkbKeyTranslator xkb(server->display.c_str());
  ASSERT_TRUE(xkb.Valid());
  const struct {
    KeySym sym;
    unsigned state;
    uint32_t keysym;
    const char* text;
  } cases[] = {
      {XK_a, 0, XK_a, "a"},
      {XK_a, ShiftMask, XK_A, "A"},
      {XK_1, ShiftMask, XK_exclam, "!"},
      {XK_Return, 0, XK_Return, "\r"},
      {XK_BackSpace, 0, XK_BackSpace, "\b"},
  };
  for (const auto& c : cases) {
    IKeyPress key;
    ASSERT_TRUE(xkb.Translate(XKeysymToKeycode(dpy, c.sym), c.state, key));
    EXPECT_EQ(key.keysym, c.keysym) << c.text;
    EXPECT_STREQ(key.utf8, c.text);
  }
}
