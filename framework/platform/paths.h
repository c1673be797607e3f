#pragma once
// Where the user's and the plug-in's files live on Linux.
#include <string>

// $HOME, or empty when unset.
std::string HomeFolder();

// $XDG_CONFIG_HOME/<vendor> when that is set and absolute, else $HOME/.config/<vendor>; empty
// when neither can be formed. No trailing "/". Nothing is created.
std::string SettingsFolderPath(const std::string& vendor);

// Creates `path` and its missing parents. True when the folder exists afterwards.
bool CreateFolderWithParents(const std::string& path);

// SettingsFolderPath, created when missing (creation failure leaves the path usable for reads).
std::string SettingsFolder(const std::string& vendor);

// The folder that holds a bundle, three levels above the shared library inside it
// (<folder>/Name.vst3/Contents/x86_64-linux/Name.so), with a trailing "/".
std::string BundleParentOfLibrary(const std::string& libraryPath);

// Path of the loaded binary (shared library or executable) that holds this code.
std::string LoadedModulePath();

// BundleParentOfLibrary(LoadedModulePath()).
std::string PluginFolder();
