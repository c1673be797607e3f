#pragma once
// A stand-in for the desktop's dialogs: answers come from queues filled in advance, and every
// request is recorded. Empty queues answer "cancelled" and No.
#include "framework/platform/platform_dialogs.h"

#include <deque>

class ScriptedDialogs : public IPlatformDialogs {
public:
  enum class Kind { OpenFile, SaveFile, Folder, Message, YesNo, Url };
  struct Call {
    Kind kind;
    FileDialogRequest request; // file dialogs
    std::string text;          // message or question text, or the address
    std::string caption;
  };

  void QueuePath(std::string path) { mPaths.push_back(std::move(path)); }
  void QueueAnswer(bool yes) { mAnswers.push_back(yes); }
  void SetOpenUrlResult(bool ok) { mOpenUrlResult = ok; }

  const std::vector<Call>& Calls() const { return mCalls; }
  std::vector<Call> CallsOf(Kind kind) const;
  void ClearCalls() { mCalls.clear(); }

  std::string ChooseFileToOpen(const FileDialogRequest& request) override;
  std::string ChooseFileToSave(const FileDialogRequest& request) override;
  std::string ChooseFolder(const FileDialogRequest& request) override;
  void ShowMessage(const std::string& text, const std::string& caption) override;
  bool AskYesNo(const std::string& text, const std::string& caption) override;
  bool OpenUrl(const std::string& url) override;

private:
  std::string NextPath(Kind kind, const FileDialogRequest& request);

  std::deque<std::string> mPaths;
  std::deque<bool> mAnswers;
  bool mOpenUrlResult = true;
  std::vector<Call> mCalls;
};
