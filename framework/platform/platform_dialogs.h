#pragma once
// Modal dialogs, message boxes and the web browser, as the user interface needs them. All calls
// block until the user has answered. Without a way to show a dialog, file choices come back
// empty (as if cancelled), messages show nothing and questions are answered No.
#include <string>
#include <vector>

struct FileFilter {
  std::string description;           // "Program files"
  std::vector<std::string> patterns; // {"*.fxp"}
};

struct FileDialogRequest {
  std::string title;
  std::string startFolder; // where the dialog opens
  std::string defaultName; // proposed file name (save dialogs)
  std::vector<FileFilter> filters;
};

class IPlatformDialogs {
public:
  virtual ~IPlatformDialogs() = default;

  // The chosen path, or empty when cancelled.
  virtual std::string ChooseFileToOpen(const FileDialogRequest& request) = 0;
  virtual std::string ChooseFileToSave(const FileDialogRequest& request) = 0;
  virtual std::string ChooseFolder(const FileDialogRequest& request) = 0;

  // A message with an OK button.
  virtual void ShowMessage(const std::string& text, const std::string& caption) = 0;
  // True only when the user answered Yes.
  virtual bool AskYesNo(const std::string& text, const std::string& caption) = 0;

  // Opens a web address in the default browser. False when that could not be started.
  virtual bool OpenUrl(const std::string& url) = 0;
};
