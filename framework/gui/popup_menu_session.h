#pragma once
// One showing of a pop-up menu: where its panels lie, which item is highlighted, and the mouse
// and keyboard state machine that ends in a choice or a dismissal. Coordinates are those of the
// surface the menu is shown on (root-window pixels for real windows, editor pixels offscreen).
#include "framework/gui/popup_menu.h"

#include <cairo.h>

#include <functional>
#include <string>
#include <vector>

struct PopupRect {
  float L = 0, T = 0, R = 0, B = 0;
  float W() const { return R - L; }
  float H() const { return B - T; }
  bool Contains(float x, float y) const { return x >= L && x < R && y >= T && y < B; }
  float MidX() const { return 0.5f * (L + R); }
  float MidY() const { return 0.5f * (T + B); }
};

// Sizes at scale 1; every length is multiplied by scale.
struct PopupMenuStyle {
  float scale = 1.f;
  float fontSize = 14.f;
  float itemHeight = 24.f;
  float separatorHeight = 9.f;
  float padLeft = 26.f;  // room for the check mark
  float padRight = 30.f; // room for the submenu arrow
  float minWidth = 120.f;
  float border = 1.f;
  // Borrowed; without a face the texts are measured and drawn in a generic font.
  cairo_font_face_t* font = nullptr;
};

// The width of a text at a font size in pixels.
using PopupTextWidth = std::function<float(const std::string& text, float fontSize)>;

class PopupMenuSession {
public:
  struct Level {
    IPopupMenu* menu = nullptr;
    PopupRect bounds;
    std::vector<PopupRect> items; // one per item position
    int highlighted = -1;
  };
  enum class EKey { kUp, kDown, kLeft, kRight, kEnter, kEscape };
  enum class EState { kOpen, kChosen, kDismissed };

  // Opens the menu below the anchor (above it when there is no room below), kept inside screen.
  // Without a measuring function texts are measured with Cairo in the style's font.
  PopupMenuSession(IPopupMenu& root, const PopupRect& anchor, const PopupRect& screen,
                   PopupMenuStyle style = {}, PopupTextWidth measure = {});

  EState State() const { return mState; }
  bool IsOpen() const { return mState == EState::kOpen; }
  // The (sub)menu and position chosen, or none while open or after a dismissal.
  const PopupMenuResult& Result() const { return mResult; }
  const PopupMenuStyle& Style() const { return mStyle; }

  int NLevels() const { return static_cast<int>(mLevels.size()); }
  const Level& GetLevel(int i) const { return mLevels[static_cast<size_t>(i)]; }
  // Bounds of every open panel together.
  PopupRect Extent() const;

  // Input; each returns true when the look of the menu changed or the session ended.
  bool OnMouseMove(float x, float y);
  bool OnMouseDown(float x, float y);
  bool OnMouseUp(float x, float y);
  bool OnKey(EKey key);
  // Ends the session without a choice (a click elsewhere, the editor closing).
  void Dismiss();

  // The centre of the item at position of menu, when that menu's panel is open.
  bool FindItem(const IPopupMenu* menu, int position, float& x, float& y) const;

private:
  Level MakeLevel(IPopupMenu& menu) const;
  void PlaceTopLevel(Level& level, const PopupRect& anchor) const;
  void PlaceSubmenu(Level& level, const Level& parent, int parentItem) const;
  void MoveLevel(Level& level, float x, float y) const;
  void OpenSubmenu(int levelIndex, int position);
  void TruncateTo(int nLevels);
  int LevelAt(float x, float y) const;
  int ItemAt(const Level& level, float x, float y) const;
  int NextSelectable(const Level& level, int from, int step) const;
  void Choose(int levelIndex, int position);
  void NotePointer(float x, float y);

  PopupRect mScreen;
  PopupMenuStyle mStyle;
  PopupTextWidth mMeasure;
  std::vector<Level> mLevels;
  EState mState = EState::kOpen;
  PopupMenuResult mResult;
  // A release chooses only once the pointer moved or was pressed in the menu, so the release of
  // the click that opened the menu picks nothing.
  bool mArmed = false;
  bool mSawPointer = false;
  float mFirstX = 0, mFirstY = 0;
};
