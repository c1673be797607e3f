#pragma once
// In-memory form of an INI file: sections of keys, both ordered and looked up without regard to
// ASCII letter case; a name keeps the spelling it was first inserted with.
#include <map>
#include <string>

struct IniNameLess {
  bool operator()(const std::string& a, const std::string& b) const {
    const size_t n = a.size() < b.size() ? a.size() : b.size();
    for (size_t i = 0; i < n; ++i) {
      const int x = Fold(static_cast<unsigned char>(a[i]));
      const int y = Fold(static_cast<unsigned char>(b[i]));
      if (x != y) return x < y;
    }
    return a.size() < b.size();
  }
  static int Fold(int c) { return (c >= 'A' && c <= 'Z') ? c + ('a' - 'A') : c; }
};

using IniKeyMap = std::map<std::string, std::string, IniNameLess>;
using IniSections = std::map<std::string, IniKeyMap, IniNameLess>;
