// varnel-bank: builds the factory bank from its text form.
//   varnel-bank PROGRAMS.txt OUT.fxb
// Each program starts from the parameter defaults, takes its listed values, and is stored into
// the next slot with its name; the bank is written with the plug-in's own chunk and FXB writer.
#include "plugin/varnel.h"
#include "store/fxb_file.h"
#include "tools/bank/program_text.h"

#include <cstdio>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: varnel-bank PROGRAMS.txt OUT.fxb\n");
    return 2;
  }
  const std::string inPath = argv[1];
  const std::string outPath = argv[2];

  std::ifstream in(inPath, std::ios::binary);
  if (!in) {
    std::fprintf(stderr, "%s: cannot be read\n", inPath.c_str());
    return 1;
  }
  const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());

  Varnel plug;
  std::vector<ProgramText> programs;
  std::string error;
  if (!ParseProgramText(text, inPath, plug, plug.NPresets(), programs, error)) {
    std::fprintf(stderr, "%s\n", error.c_str());
    return 1;
  }
  if (static_cast<int>(programs.size()) < plug.NPresets())
    std::fprintf(stderr, "%s: warning: %d programs; the slots after them stay empty\n",
                 inPath.c_str(), static_cast<int>(programs.size()));

  for (size_t k = 0; k < programs.size(); ++k) {
    if (!StoreProgram(plug, static_cast<int>(k), programs[k])) {
      std::fprintf(stderr, "%s:%d: program [%s] could not be stored\n", inPath.c_str(),
                   programs[k].line, programs[k].name.c_str());
      return 1;
    }
  }
  // The bank opens on its first program.
  plug.RestorePreset(0);

  if (!SaveBankAsFXB(plug, outPath)) {
    std::fprintf(stderr, "%s: cannot be written\n", outPath.c_str());
    return 1;
  }
  return 0;
}
