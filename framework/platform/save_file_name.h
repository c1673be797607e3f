#pragma once
// Save dialogs that leave the extension to the user (zenity adds none) would save "Varnel"
// where "Varnel.fxb" was meant, and the load dialog's filter would then hide the file.
#include "framework/platform/platform_dialogs.h"

#include <string>

// The extension of the request's first filter pattern of the form "*.ext" (".ext"), or empty.
std::string DialogExtension(const FileDialogRequest& request);

// The chosen path with the dialog's extension added when its name does not already end in one
// of the dialog's extensions (in any letter case).
std::string WithDialogExtension(const std::string& path, const FileDialogRequest& request);

// Runs the save dialog and adds the extension. The dialog asked before overwriting the name
// the user typed, not the completed one: when the completed name exists, ask here; No means
// cancelled (empty result).
std::string ChooseFileToSaveWithExtension(IPlatformDialogs& dialogs,
                                          const FileDialogRequest& request);
