#pragma once
// A pop-up menu: items with text, check marks, disabled items, separators and nested submenus.
// The menu is only data; a session (popup_menu_session.h) shows it and reports the choice as the
// (sub)menu in which an item was chosen and the item's position there.
#include <memory>
#include <string>
#include <vector>

class IPopupMenu {
public:
  enum EItemFlags { kNoFlags = 0, kDisabled = 1, kChecked = 2, kSeparator = 4 };

  class Item {
  public:
    Item(std::string text, int flags, int tag) : mText(std::move(text)), mFlags(flags), mTag(tag) {}

    const std::string& GetText() const { return mText; }
    int GetTag() const { return mTag; }
    bool GetEnabled() const { return (mFlags & kDisabled) == 0; }
    bool GetChecked() const { return (mFlags & kChecked) != 0; }
    bool GetIsSeparator() const { return (mFlags & kSeparator) != 0; }
    IPopupMenu* GetSubmenu() const { return mSubmenu.get(); }
    // An item the user can pick or open: not a separator and not disabled.
    bool IsSelectable() const { return !GetIsSeparator() && GetEnabled(); }

    void SetChecked(bool on) { SetFlag(kChecked, on); }
    void SetEnabled(bool on) { SetFlag(kDisabled, !on); }
    void SetText(std::string text) { mText = std::move(text); }

  private:
    friend class IPopupMenu;
    void SetFlag(int flag, bool on) { mFlags = on ? (mFlags | flag) : (mFlags & ~flag); }

    std::string mText;
    int mFlags;
    int mTag;
    std::unique_ptr<IPopupMenu> mSubmenu;
  };

  explicit IPopupMenu(std::string title = "") : mTitle(std::move(title)) {}
  IPopupMenu(const IPopupMenu&) = delete;
  IPopupMenu& operator=(const IPopupMenu&) = delete;

  const std::string& GetTitle() const { return mTitle; }
  // The menu that holds this one as a submenu, or null for a top level.
  IPopupMenu* GetParent() const { return mParent; }
  IPopupMenu& GetRoot();

  Item* AddItem(const std::string& text, int flags = kNoFlags, int tag = -1);
  Item* AddSeparator();
  // Appends an item that opens a new, empty submenu titled like the item; returns the submenu.
  IPopupMenu* AddSubmenu(const std::string& text, int flags = kNoFlags);

  int NItems() const { return static_cast<int>(mItems.size()); }
  Item* GetItem(int position);
  const Item* GetItem(int position) const;
  // The position of the item that opens the given submenu in this menu, or -1.
  int PositionOfSubmenu(const IPopupMenu* submenu) const;
  // Checks the item at position and unchecks every other item of this menu.
  void CheckItemAlone(int position);

  // The position chosen in this menu at the last session, or -1.
  int GetChosenItemIdx() const { return mChosen; }
  void SetChosenItemIdx(int position) { mChosen = position; }
  // Removes every item (and submenu) and forgets the choice.
  void Clear();

private:
  std::string mTitle;
  IPopupMenu* mParent = nullptr;
  std::vector<std::unique_ptr<Item>> mItems;
  int mChosen = -1;
};

// What a pop-up menu session ended with: the (sub)menu and the position in it, or none.
struct PopupMenuResult {
  IPopupMenu* menu = nullptr;
  int position = -1;
  bool Chosen() const { return menu != nullptr && position >= 0; }
};
