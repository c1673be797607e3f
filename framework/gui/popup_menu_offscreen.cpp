#include "framework/gui/popup_menu_offscreen.h"

#include "framework/gui/popup_menu_draw.h"

#include <cstdio>
#include <vector>

bool OffscreenMenuPlatform::CreatePopupMenu(IPopupMenu& menu, const IRECT& anchor,
                                            const PopupMenuStyle& style, PopupMenuDone done) {
  ClosePopupMenu();
  const PopupRect screen{0.f, 0.f, static_cast<float>(mGraphics.WindowWidth()),
                         static_cast<float>(mGraphics.WindowHeight())};
  mSession = std::make_unique<PopupMenuSession>(
      menu, PopupRect{anchor.L, anchor.T, anchor.R, anchor.B}, screen, style);
  mDone = std::move(done);
  lastAnchor = anchor;
  ++menusShown;
  return true;
}

void OffscreenMenuPlatform::ClosePopupMenu() {
  mSession.reset();
  mDone = nullptr;
}

void OffscreenMenuPlatform::Finish() {
  lastChosen = false;
  if (!mSession || mSession->IsOpen()) return;
  const PopupMenuResult result = mSession->Result();
  lastChosen = result.Chosen();
  PopupMenuDone done = std::move(mDone);
  mSession.reset();
  mDone = nullptr;
  // The answer may open the next menu.
  if (done) done(result.menu, result.position);
}

bool OffscreenMenuPlatform::Reveal(const IPopupMenu* menu) {
  if (!mSession || !menu) return false;
  std::vector<const IPopupMenu*> path;
  for (const IPopupMenu* m = menu; m; m = m->GetParent()) path.insert(path.begin(), m);
  for (size_t i = 0; i + 1 < path.size(); ++i) {
    float x = 0, y = 0;
    if (!mSession->FindItem(path[i], path[i]->PositionOfSubmenu(path[i + 1]), x, y)) return false;
    mSession->OnMouseMove(x, y);
  }
  return true;
}

bool OffscreenMenuPlatform::Choose(const IPopupMenu* menu, int position) {
  if (!Reveal(menu)) return false;
  float x = 0, y = 0;
  if (!mSession->FindItem(menu, position, x, y)) return false;
  Click(x, y);
  return lastChosen;
}

namespace {
bool FindText(const IPopupMenu& menu, const std::string& text, const IPopupMenu*& found,
              int& position) {
  for (int i = 0; i < menu.NItems(); ++i)
    if (!menu.GetItem(i)->GetSubmenu() && menu.GetItem(i)->GetText() == text) {
      found = &menu;
      position = i;
      return true;
    }
  for (int i = 0; i < menu.NItems(); ++i)
    if (menu.GetItem(i)->GetSubmenu() &&
        FindText(*menu.GetItem(i)->GetSubmenu(), text, found, position))
      return true;
  return false;
}
} // namespace

bool OffscreenMenuPlatform::ChooseText(const std::string& text) {
  if (!mSession) return false;
  const IPopupMenu* menu = nullptr;
  int position = -1;
  if (!FindText(*mSession->GetLevel(0).menu, text, menu, position)) return false;
  return Choose(menu, position);
}

void OffscreenMenuPlatform::MouseMove(float x, float y) {
  if (mSession) mSession->OnMouseMove(x, y);
}

void OffscreenMenuPlatform::Click(float x, float y) {
  if (!mSession) return;
  mSession->OnMouseMove(x, y);
  mSession->OnMouseDown(x, y);
  mSession->OnMouseUp(x, y);
  Finish();
}

void OffscreenMenuPlatform::Key(PopupMenuSession::EKey key) {
  if (!mSession) return;
  mSession->OnKey(key);
  Finish();
}

void OffscreenMenuPlatform::Dismiss() {
  if (!mSession) return;
  mSession->Dismiss();
  Finish();
}

cairo_surface_t* RenderToImageWithMenu(IGraphics& g, const OffscreenMenuPlatform& platform) {
  cairo_surface_t* image = RenderToImage(g);
  if (!image || !platform.Session()) return image;
  cairo_t* cr = cairo_create(image);
  DrawPopupSession(cr, *platform.Session());
  cairo_destroy(cr);
  cairo_surface_flush(image);
  return image;
}

bool RenderToPngWithMenu(IGraphics& g, const OffscreenMenuPlatform& platform,
                         const std::string& path) {
  cairo_surface_t* image = RenderToImageWithMenu(g, platform);
  if (!image) return false;
  const bool ok = cairo_surface_write_to_png(image, path.c_str()) == CAIRO_STATUS_SUCCESS;
  if (!ok) std::fprintf(stderr, "cannot write %s\n", path.c_str());
  cairo_surface_destroy(image);
  return ok;
}
