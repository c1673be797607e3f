#pragma once
// INI text <-> sections. No comment syntax: any line with "=" inside a section is a key.
#include "store/ini_sections.h"

#include <cstddef>
#include <cstdio>
#include <string>

constexpr size_t kIniMaxLineLength = 33554432;      // longer lines are cut into pieces
constexpr size_t kIniMaxBytesBeforeHeader = 262144; // past this without a header: not an INI

// Feeds lines one at a time so files are parsed without holding them whole in memory.
class IniParser {
public:
  explicit IniParser(IniSections& sections) : mSections(sections) {}

  // Takes one line without its LF. Returns false once parsing has stopped.
  bool AddLine(const char* line, size_t length);
  bool Stopped() const { return mStopped; }

private:
  IniSections& mSections;
  IniKeyMap* mCurrent = nullptr;
  bool mSeenHeader = false;
  bool mStopped = false;
  size_t mBytesBeforeHeader = 0;
};

void ParseIniText(const char* data, size_t size, IniSections& sections);
void ParseIniFile(std::FILE* file, IniSections& sections);
std::string FormatIniText(const IniSections& sections);
