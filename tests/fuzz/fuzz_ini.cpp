// INI text: parsing never fails, and what is written back parses to the same sections.
#include "store/ini_parser.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  IniSections sections;
  ParseIniText(reinterpret_cast<const char*>(data), size, sections);
  const std::string text = FormatIniText(sections);
  IniSections again;
  ParseIniText(text.data(), text.size(), again);
  if (again != sections || FormatIniText(again) != text) std::abort();
  return 0;
}
