// varnel-render: our command-line VST3 host.
#include <iostream>

#include "tools/render/render_app.h"

// For sanitizer builds: leaks that belong to libraries, not to us. Fontconfig (under Cairo's
// text) keeps its caches until exit, and libsmf does not free a file it failed to load.
extern "C" __attribute__((used)) const char* __lsan_default_suppressions() {
  return "leak:libfontconfig\nleak:libsmf\n";
}
extern "C" __attribute__((used)) const char* __lsan_default_options() {
  return "print_suppressions=0";
}

int main(int argc, char** argv) {
  return vrender::renderMain(argc, argv, std::cout, std::cerr);
}
