// The selector menus: the parameter's display texts in a tree of a fixed layout per menu type.
#include "framework/core/param.h"
#include "plugin/varnel_menus.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace {

struct Submenu {
  const char* title;
  int first; // the value of its first item
};

struct SelectorLayout {
  int topLevel; // values 0 .. topLevel - 1 sit on the top level
  std::vector<Submenu> submenus;
};

const SelectorLayout* layoutOf(int menuType) {
  static const SelectorLayout cc{
      0, {{"000 - 029", 0}, {"030 - 059", 30}, {"060 - 089", 60}, {"090 - 119", 90}}};
  static const SelectorLayout modSource{3, {{"Intern", 3}, {"Extern", 13}, {"MIDI", 19}}};
  static const SelectorLayout trigger{1, {{"Intern", 1}, {"Extern", 7}}};
  static const SelectorLayout syncRate{1, {{"4/1 - 1/4", 1}, {"1/8. - 1/64", 11}}};
  switch (menuType) {
  case kMenuCC:
    return &cc;
  case kMenuModSource:
    return &modSource;
  case kMenuTrigger:
    return &trigger;
  case kMenuSyncRate:
    return &syncRate;
  default:
    return nullptr;
  }
}

} // namespace

std::string selectorDisplayText(const IParam& param, int menuType) {
  if (menuType == kMenuCC) return std::to_string(static_cast<int>(std::trunc(param.GetValue())));
  std::string text;
  param.GetDisplay(text);
  return text;
}

void buildSelectorMenu(IPopupMenu& menu, const IParam& param, int menuType) {
  menu.Clear();
  const SelectorLayout* layout = layoutOf(menuType);
  if (!layout) return;
  std::string current;
  param.GetDisplay(current);

  IPopupMenu* target = &menu;
  size_t nextSubmenu = 0;
  for (int i = 0; i < param.NDisplayTexts(); ++i) {
    if (nextSubmenu < layout->submenus.size() && i == layout->submenus[nextSubmenu].first)
      target = menu.AddSubmenu(layout->submenus[nextSubmenu++].title);
    const char* text = param.GetDisplayTextAtIdx(i);
    target->AddItem(text, current == text ? IPopupMenu::kChecked : IPopupMenu::kNoFlags);
  }
}

int selectorChoice(const IPopupMenu* menu, int position, int menuType) {
  const SelectorLayout* layout = layoutOf(menuType);
  if (!menu || !layout || position < 0 || position >= menu->NItems()) return -1;
  if (menu->GetItem(position)->GetSubmenu()) return -1;
  const IPopupMenu* parent = menu->GetParent();
  if (!parent) return position; // the top level holds values from 0
  const int submenu = parent->PositionOfSubmenu(menu) - layout->topLevel;
  if (submenu < 0 || submenu >= static_cast<int>(layout->submenus.size())) return -1;
  return layout->submenus[static_cast<size_t>(submenu)].first + position;
}
