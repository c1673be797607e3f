#pragma once
// The dialogs of the desktop: zenity for dialogs and message boxes, xdg-open for web pages.
#include "framework/platform/platform_dialogs.h"

#include <utility>

class ZenityDialogs : public IPlatformDialogs {
public:
  ZenityDialogs() = default;
  // Other program names, for tests.
  ZenityDialogs(std::string zenity, std::string opener)
      : mZenity(std::move(zenity)), mOpener(std::move(opener)) {}

  std::string ChooseFileToOpen(const FileDialogRequest& request) override;
  std::string ChooseFileToSave(const FileDialogRequest& request) override;
  std::string ChooseFolder(const FileDialogRequest& request) override;
  void ShowMessage(const std::string& text, const std::string& caption) override;
  bool AskYesNo(const std::string& text, const std::string& caption) override;
  bool OpenUrl(const std::string& url) override;

  // The argument vectors, exposed so their form can be checked without a display.
  std::vector<std::string> FileDialogArguments(const FileDialogRequest& request, bool save,
                                               bool folder) const;
  std::vector<std::string> MessageArguments(const std::string& kind, const std::string& text,
                                            const std::string& caption) const;

private:
  std::string RunFileDialog(const FileDialogRequest& request, bool save, bool folder);

  std::string mZenity = "zenity";
  std::string mOpener = "xdg-open";
};
