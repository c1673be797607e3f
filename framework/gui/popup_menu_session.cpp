#include "framework/gui/popup_menu_session.h"

#include "framework/gui/popup_menu_draw.h"

#include <algorithm>
#include <cmath>

namespace {
constexpr float kArmDistance = 4.f; // pixels the pointer moves before a release may choose
} // namespace

PopupMenuSession::PopupMenuSession(IPopupMenu& root, const PopupRect& anchor,
                                   const PopupRect& screen, PopupMenuStyle style,
                                   PopupTextWidth measure)
    : mScreen(screen), mStyle(std::move(style)), mMeasure(std::move(measure)) {
  if (!mMeasure) {
    cairo_font_face_t* font = mStyle.font;
    mMeasure = [font](const std::string& text, float fontSize) {
      return MeasurePopupText(text, fontSize, font);
    };
  }
  root.SetChosenItemIdx(-1);
  Level level = MakeLevel(root);
  PlaceTopLevel(level, anchor);
  mLevels.push_back(std::move(level));
}

PopupRect PopupMenuSession::Extent() const {
  PopupRect r = mLevels.front().bounds;
  for (const Level& level : mLevels) {
    r.L = std::min(r.L, level.bounds.L);
    r.T = std::min(r.T, level.bounds.T);
    r.R = std::max(r.R, level.bounds.R);
    r.B = std::max(r.B, level.bounds.B);
  }
  return r;
}

PopupMenuSession::Level PopupMenuSession::MakeLevel(IPopupMenu& menu) const {
  const float s = mStyle.scale;
  float textWidth = 0.f;
  for (int i = 0; i < menu.NItems(); ++i) {
    const IPopupMenu::Item* item = menu.GetItem(i);
    if (!item->GetIsSeparator())
      textWidth = std::max(textWidth, mMeasure(item->GetText(), mStyle.fontSize * s));
  }
  const float width =
      std::ceil(std::max(mStyle.minWidth * s, (mStyle.padLeft + mStyle.padRight) * s + textWidth));
  const float border = mStyle.border * s;

  Level level;
  level.menu = &menu;
  float y = border;
  for (int i = 0; i < menu.NItems(); ++i) {
    const float h =
        (menu.GetItem(i)->GetIsSeparator() ? mStyle.separatorHeight : mStyle.itemHeight) * s;
    level.items.push_back({border, y, width - border, y + h});
    y += h;
  }
  // An empty menu still shows an empty panel of one item's height.
  if (menu.NItems() == 0) y += mStyle.itemHeight * s;
  level.bounds = {0.f, 0.f, width, y + border};
  return level;
}

void PopupMenuSession::MoveLevel(Level& level, float x, float y) const {
  const float dx = std::round(x) - level.bounds.L, dy = std::round(y) - level.bounds.T;
  auto shift = [dx, dy](PopupRect& r) {
    r.L += dx;
    r.R += dx;
    r.T += dy;
    r.B += dy;
  };
  shift(level.bounds);
  for (PopupRect& r : level.items) shift(r);
}

// Below the anchor when it fits, else above it, else as low as the screen allows; never past
// the screen's right or left edge.
void PopupMenuSession::PlaceTopLevel(Level& level, const PopupRect& anchor) const {
  const float w = level.bounds.W(), h = level.bounds.H();
  float y = anchor.B;
  if (y + h > mScreen.B) y = anchor.T - h >= mScreen.T ? anchor.T - h : mScreen.B - h;
  y = std::max(y, mScreen.T);
  float x = std::min(anchor.L, mScreen.R - w);
  x = std::max(x, mScreen.L);
  MoveLevel(level, x, y);
}

// Beside the parent item, on the right when it fits, else on the left of the parent panel.
void PopupMenuSession::PlaceSubmenu(Level& level, const Level& parent, int parentItem) const {
  const float w = level.bounds.W(), h = level.bounds.H();
  const float overlap = 2.f * mStyle.scale;
  float x = parent.bounds.R - overlap;
  if (x + w > mScreen.R) x = parent.bounds.L - w + overlap;
  x = std::max(mScreen.L, std::min(x, mScreen.R - w));
  float y = parent.items[static_cast<size_t>(parentItem)].T - mStyle.border * mStyle.scale;
  y = std::max(mScreen.T, std::min(y, mScreen.B - h));
  MoveLevel(level, x, y);
}

void PopupMenuSession::TruncateTo(int nLevels) {
  if (nLevels < 1) nLevels = 1;
  while (NLevels() > nLevels) mLevels.pop_back();
}

void PopupMenuSession::OpenSubmenu(int levelIndex, int position) {
  IPopupMenu* sub = mLevels[static_cast<size_t>(levelIndex)].menu->GetItem(position)->GetSubmenu();
  TruncateTo(levelIndex + 1);
  Level level = MakeLevel(*sub);
  PlaceSubmenu(level, mLevels[static_cast<size_t>(levelIndex)], position);
  mLevels.push_back(std::move(level));
}

int PopupMenuSession::LevelAt(float x, float y) const {
  // Later panels lie on top of earlier ones.
  for (int i = NLevels() - 1; i >= 0; --i)
    if (mLevels[static_cast<size_t>(i)].bounds.Contains(x, y)) return i;
  return -1;
}

int PopupMenuSession::ItemAt(const Level& level, float x, float y) const {
  for (size_t i = 0; i < level.items.size(); ++i)
    if (level.items[i].Contains(x, y)) return static_cast<int>(i);
  return -1;
}

int PopupMenuSession::NextSelectable(const Level& level, int from, int step) const {
  const int n = level.menu->NItems();
  if (n == 0) return -1;
  int i = from;
  for (int tries = 0; tries < n; ++tries) {
    i = from < 0 && tries == 0 ? (step > 0 ? 0 : n - 1) : (i + step + n) % n;
    if (level.menu->GetItem(i)->IsSelectable()) return i;
  }
  return -1;
}

void PopupMenuSession::Choose(int levelIndex, int position) {
  IPopupMenu* menu = mLevels[static_cast<size_t>(levelIndex)].menu;
  menu->SetChosenItemIdx(position);
  mResult = {menu, position};
  mState = EState::kChosen;
}

void PopupMenuSession::Dismiss() {
  if (mState != EState::kOpen) return;
  mResult = {};
  mState = EState::kDismissed;
}

void PopupMenuSession::NotePointer(float x, float y) {
  if (!mSawPointer) {
    mSawPointer = true;
    mFirstX = x;
    mFirstY = y;
  } else if (std::fabs(x - mFirstX) >= kArmDistance || std::fabs(y - mFirstY) >= kArmDistance) {
    mArmed = true;
  }
}

bool PopupMenuSession::OnMouseMove(float x, float y) {
  if (!IsOpen()) return false;
  NotePointer(x, y);
  const int li = LevelAt(x, y);
  if (li < 0) return false;
  Level& level = mLevels[static_cast<size_t>(li)];
  const int item = ItemAt(level, x, y);
  const IPopupMenu::Item* it = level.menu->GetItem(item);
  const int highlight = it && it->IsSelectable() ? item : -1;
  // Deeper panels always belong to the highlighted item, so the same item changes nothing.
  if (highlight == level.highlighted) return false;
  level.highlighted = highlight;
  if (highlight >= 0 && it->GetSubmenu()) {
    OpenSubmenu(li, highlight);
  } else {
    TruncateTo(li + 1);
  }
  return true;
}

bool PopupMenuSession::OnMouseDown(float x, float y) {
  if (!IsOpen()) return false;
  NotePointer(x, y);
  const int li = LevelAt(x, y);
  if (li < 0) {
    Dismiss();
    return true;
  }
  mArmed = true;
  OnMouseMove(x, y);
  return true;
}

bool PopupMenuSession::OnMouseUp(float x, float y) {
  if (!IsOpen()) return false;
  NotePointer(x, y);
  const int li = LevelAt(x, y);
  if (li < 0 || !mArmed) return false;
  const int item = ItemAt(mLevels[static_cast<size_t>(li)], x, y);
  const IPopupMenu::Item* it = mLevels[static_cast<size_t>(li)].menu->GetItem(item);
  if (!it || !it->IsSelectable() || it->GetSubmenu()) return false;
  Choose(li, item);
  return true;
}

bool PopupMenuSession::OnKey(EKey key) {
  if (!IsOpen()) return false;
  const int li = NLevels() - 1;
  Level& level = mLevels[static_cast<size_t>(li)];
  const IPopupMenu::Item* current = level.menu->GetItem(level.highlighted);
  switch (key) {
  case EKey::kDown:
  case EKey::kUp: {
    const int next = NextSelectable(level, level.highlighted, key == EKey::kDown ? 1 : -1);
    if (next < 0 || next == level.highlighted) return false;
    level.highlighted = next;
    return true;
  }
  case EKey::kRight:
  case EKey::kEnter:
    if (!current) return false;
    if (current->GetSubmenu()) {
      OpenSubmenu(li, level.highlighted);
      Level& sub = mLevels.back();
      sub.highlighted = NextSelectable(sub, -1, 1);
      return true;
    }
    if (key == EKey::kEnter) {
      Choose(li, level.highlighted);
      return true;
    }
    return false;
  case EKey::kLeft:
    if (li == 0) return false;
    TruncateTo(li);
    return true;
  case EKey::kEscape:
    if (li == 0) {
      Dismiss();
    } else {
      TruncateTo(li);
    }
    return true;
  }
  return false;
}

bool PopupMenuSession::FindItem(const IPopupMenu* menu, int position, float& x, float& y) const {
  for (const Level& level : mLevels) {
    if (level.menu != menu || position < 0 || position >= static_cast<int>(level.items.size()))
      continue;
    const PopupRect& r = level.items[static_cast<size_t>(position)];
    x = r.MidX();
    y = r.MidY();
    return true;
  }
  return false;
}
