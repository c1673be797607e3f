// varnel-panel-picture: the editor as a musician first sees it, drawn offscreen to a PNG file.
//   varnel-panel-picture RESOURCES_FOLDER OUT.png [--scale S] [--program N] [--resonators]
#include "framework/gui/graphics.h"
#include "framework/gui/offscreen.h"
#include "plugin/varnel.h"
#include "store/fxb_file.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: varnel-panel-picture RESOURCES_FOLDER OUT.png [--scale S] "
                         "[--program N] [--resonators]\n");
    return 2;
  }
  auto plug = std::make_unique<Varnel>();
  plug->editorResourcePath = argv[1];
  // The factory programs, as the bundle carries them.
  LoadBankFromFXB(*plug, std::string(argv[1]) + "/init.fxb");
  const std::string out = argv[2];
  for (int i = 3; i < argc; ++i) {
    if (!std::strcmp(argv[i], "--scale") && i + 1 < argc) {
      plug->editorScale = std::atof(argv[++i]);
    } else if (!std::strcmp(argv[i], "--program") && i + 1 < argc) {
      plug->changePreset(std::atoi(argv[++i]));
    } else if (!std::strcmp(argv[i], "--resonators")) {
      plug->SetParameterValue(kEqRes, 1.0);
    } else {
      std::fprintf(stderr, "varnel-panel-picture: unknown option %s\n", argv[i]);
      return 2;
    }
  }
  plug->SyncControllerValues(); // what a host's parameter view would show
  std::unique_ptr<IGraphics> editor = plug->openEditor();
  OffscreenPlatform window;
  editor->SetPlatform(&window);
  const bool ok = RenderToPng(*editor, out);
  editor->SetPlatform(nullptr);
  plug->closeEditor(*editor);
  return ok && editor->GetResourceErrors().empty() ? 0 : 1;
}
