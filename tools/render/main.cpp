// varnel-render: our command-line VST3 host.
#include <iostream>

#include "tools/render/render_app.h"

int main(int argc, char** argv) {
  return vrender::renderMain(argc, argv, std::cout, std::cerr);
}
