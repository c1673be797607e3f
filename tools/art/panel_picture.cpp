// varnel-panel-picture: the editor as a musician first sees it, drawn offscreen to a PNG file.
//   varnel-panel-picture RESOURCES_FOLDER OUT.png [--scale S] [--program N] [--resonators]
//                        [--selector-menu]
// --selector-menu shows the patch information of the cutoff's modulation input and its open
// menu of sources, as when the mouse rests on it and clicks.
#include "framework/gui/graphics.h"
#include "framework/gui/offscreen.h"
#include "framework/gui/popup_menu_offscreen.h"
#include "plugin/varnel.h"
#include "plugin/varnel_controls_selector.h"
#include "store/fxb_file.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: varnel-panel-picture RESOURCES_FOLDER OUT.png [--scale S] "
                         "[--program N] [--resonators] [--selector-menu]\n");
    return 2;
  }
  auto plug = std::make_unique<Varnel>();
  plug->editorResourcePath = argv[1];
  // The factory programs, as the bundle carries them.
  LoadBankFromFXB(*plug, std::string(argv[1]) + "/init.fxb");
  const std::string out = argv[2];
  bool selectorMenu = false;
  for (int i = 3; i < argc; ++i) {
    if (!std::strcmp(argv[i], "--scale") && i + 1 < argc) {
      plug->editorScale = std::atof(argv[++i]);
    } else if (!std::strcmp(argv[i], "--program") && i + 1 < argc) {
      plug->changePreset(std::atoi(argv[++i]));
    } else if (!std::strcmp(argv[i], "--selector-menu")) {
      selectorMenu = true;
    } else if (!std::strcmp(argv[i], "--resonators")) {
      plug->SetParameterValue(kEqRes, 1.0);
    } else {
      std::fprintf(stderr, "varnel-panel-picture: unknown option %s\n", argv[i]);
      return 2;
    }
  }
  plug->SyncControllerValues(); // what a host's parameter view would show
  std::unique_ptr<IGraphics> editor = plug->openEditor();
  OffscreenMenuPlatform window(*editor);
  editor->SetPlatform(&window);
  if (selectorMenu) {
    for (int i = 0; i < editor->NControls(); ++i) {
      auto* selector = dynamic_cast<IVellPopUpMenuControl*>(editor->GetControl(i));
      if (!selector || selector->ParamIdx() != kFcSrc) continue;
      const IRECT r = selector->GetRECT().Scaled(editor->GetScale());
      editor->OnMouseOver(r.MW(), r.MH(), IMouseMod());
      editor->OnMouseDown(r.MW(), r.MH(), IMouseMod(true));
      editor->OnMouseUp(r.MW(), r.MH(), IMouseMod(true));
      IPopupMenu& menu = selector->Menu();
      if (menu.NItems() > 3) window.Reveal(menu.GetItem(3)->GetSubmenu()); // "Intern"
      break;
    }
  }
  const bool ok = RenderToPngWithMenu(*editor, window, out);
  editor->SetPlatform(nullptr);
  plug->closeEditor(*editor);
  return ok && editor->GetResourceErrors().empty() ? 0 : 1;
}
