#pragma once
// The texts of the selector parameters, by item number (item 0 is "off" where it applies).
#include <vector>

const std::vector<const char*>& labelModSrc();
const std::vector<const char*>& labelInputSrc();
const std::vector<const char*>& labelTrigSrc();
const std::vector<const char*>& labelSyncRates();
const std::vector<const char*>& labelCC();

// Display callbacks of the waveform and footage knobs.
#include <string>
void setDisplayTextForSG1Wave(double x, std::string& text);
void setDisplayTextForSG2Wave(double x, std::string& text);
void setDisplayTextForSGScale(double x, std::string& text);
void setDisplayTextForMG1Wave(double x, std::string& text);
