#include "framework/gui/popup_menu.h"

IPopupMenu& IPopupMenu::GetRoot() {
  IPopupMenu* menu = this;
  while (menu->mParent) menu = menu->mParent;
  return *menu;
}

IPopupMenu::Item* IPopupMenu::AddItem(const std::string& text, int flags, int tag) {
  mItems.push_back(std::make_unique<Item>(text, flags, tag));
  return mItems.back().get();
}

IPopupMenu::Item* IPopupMenu::AddSeparator() {
  return AddItem("", kSeparator);
}

IPopupMenu* IPopupMenu::AddSubmenu(const std::string& text, int flags) {
  Item* item = AddItem(text, flags & ~kSeparator);
  item->mSubmenu = std::make_unique<IPopupMenu>(text);
  item->mSubmenu->mParent = this;
  return item->mSubmenu.get();
}

IPopupMenu::Item* IPopupMenu::GetItem(int position) {
  if (position < 0 || position >= NItems()) return nullptr;
  return mItems[static_cast<size_t>(position)].get();
}

const IPopupMenu::Item* IPopupMenu::GetItem(int position) const {
  if (position < 0 || position >= NItems()) return nullptr;
  return mItems[static_cast<size_t>(position)].get();
}

int IPopupMenu::PositionOfSubmenu(const IPopupMenu* submenu) const {
  if (!submenu) return -1;
  for (int i = 0; i < NItems(); ++i)
    if (mItems[static_cast<size_t>(i)]->mSubmenu.get() == submenu) return i;
  return -1;
}

void IPopupMenu::CheckItemAlone(int position) {
  for (int i = 0; i < NItems(); ++i) mItems[static_cast<size_t>(i)]->SetChecked(i == position);
}

void IPopupMenu::Clear() {
  mItems.clear();
  mChosen = -1;
}
