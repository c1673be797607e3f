#include "framework/platform/scripted_dialogs.h"

std::vector<ScriptedDialogs::Call> ScriptedDialogs::CallsOf(Kind kind) const {
  std::vector<Call> found;
  for (const Call& call : mCalls)
    if (call.kind == kind) found.push_back(call);
  return found;
}

std::string ScriptedDialogs::NextPath(Kind kind, const FileDialogRequest& request) {
  mCalls.push_back({kind, request, {}, {}});
  if (mPaths.empty()) return std::string();
  std::string path = std::move(mPaths.front());
  mPaths.pop_front();
  return path;
}

std::string ScriptedDialogs::ChooseFileToOpen(const FileDialogRequest& request) {
  return NextPath(Kind::OpenFile, request);
}

std::string ScriptedDialogs::ChooseFileToSave(const FileDialogRequest& request) {
  return NextPath(Kind::SaveFile, request);
}

std::string ScriptedDialogs::ChooseFolder(const FileDialogRequest& request) {
  return NextPath(Kind::Folder, request);
}

void ScriptedDialogs::ShowMessage(const std::string& text, const std::string& caption) {
  mCalls.push_back({Kind::Message, {}, text, caption});
}

bool ScriptedDialogs::AskYesNo(const std::string& text, const std::string& caption) {
  mCalls.push_back({Kind::YesNo, {}, text, caption});
  if (mAnswers.empty()) return false;
  const bool yes = mAnswers.front();
  mAnswers.pop_front();
  return yes;
}

bool ScriptedDialogs::OpenUrl(const std::string& url) {
  mCalls.push_back({Kind::Url, {}, url, {}});
  return mOpenUrlResult;
}
