#pragma once
// What a plug-in tells the framework about itself at construction.
#include <cstdint>

constexpr int32_t FourCC(char a, char b, char c, char d) {
  return static_cast<int32_t>((static_cast<uint32_t>(static_cast<uint8_t>(a)) << 24) |
                              (static_cast<uint32_t>(static_cast<uint8_t>(b)) << 16) |
                              (static_cast<uint32_t>(static_cast<uint8_t>(c)) << 8) |
                              static_cast<uint32_t>(static_cast<uint8_t>(d)));
}

struct Config {
  int32_t nParams = 0;
  int32_t nPresets = 0;
  const char* channelIOStr = "";
  const char* pluginName = "";
  const char* productName = "";
  const char* mfrName = "";
  int32_t vendorVersion = 0;
  int32_t uniqueID = 0;
  int32_t mfrID = 0;
  int32_t latency = 0;
  bool plugDoesMidiIn = false;
  bool plugDoesMidiOut = false;
  bool plugDoesMPE = false;
  bool plugDoesChunks = false;
  int32_t plugType = 0; // 1: instrument
  bool plugHasUI = false;
  int32_t plugWidth = 0, plugHeight = 0;
  int32_t plugMinWidth = 0, plugMaxWidth = 0;
  int32_t plugMinHeight = 0, plugMaxHeight = 0;
  bool plugHostResize = false;
  const char* bundleID = "";
  const char* appGroupID = "";
  const char* mfrURL = "";
  const char* mfrEmail = "";
};
