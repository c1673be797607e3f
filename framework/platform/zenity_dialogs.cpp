#include "framework/platform/zenity_dialogs.h"

#include "framework/platform/child_process.h"

namespace {

// xdg-open may stay until the browser ends; the user interface must not wait that long.
constexpr int kOpenUrlWaitMs = 10000;

// zenity expands backslash escapes in texts; keep backslashes (Windows-style paths) literal.
std::string EscapeText(const std::string& text) {
  std::string out;
  for (char c : text) {
    if (c == '\\') out += '\\';
    out += c;
  }
  return out;
}

} // namespace

std::vector<std::string> ZenityDialogs::FileDialogArguments(const FileDialogRequest& request,
                                                            bool save, bool folder) const {
  std::vector<std::string> args = {mZenity, "--file-selection"};
  if (!request.title.empty()) args.push_back("--title=" + request.title);
  if (save) {
    args.push_back("--save");
    args.push_back("--confirm-overwrite");
  }
  if (folder) args.push_back("--directory");
  std::string start = request.startFolder;
  if (!start.empty() && start.back() != '/') start += '/';
  if (!folder) start += request.defaultName;
  if (!start.empty()) args.push_back("--filename=" + start);
  for (const FileFilter& filter : request.filters) {
    std::string patterns;
    for (const std::string& p : filter.patterns) patterns += (patterns.empty() ? "" : " ") + p;
    if (patterns.empty()) continue;
    args.push_back("--file-filter=" + (filter.description.empty() ? patterns : filter.description) +
                   " | " + patterns);
  }
  return args;
}

std::vector<std::string> ZenityDialogs::MessageArguments(const std::string& kind,
                                                         const std::string& text,
                                                         const std::string& caption) const {
  return {mZenity, kind, "--title=" + caption, "--text=" + EscapeText(text), "--no-markup"};
}

std::string ZenityDialogs::RunFileDialog(const FileDialogRequest& request, bool save, bool folder) {
  const ChildProcessResult r = RunChildProcess(FileDialogArguments(request, save, folder));
  if (!r.started || !r.finished || r.exitCode != 0) return std::string();
  std::string path = r.output;
  if (!path.empty() && path.back() == '\n') path.pop_back();
  // One path was asked for; anything else is no answer.
  if (path.find('\n') != std::string::npos || path.empty() || path[0] != '/') return std::string();
  return path;
}

std::string ZenityDialogs::ChooseFileToOpen(const FileDialogRequest& request) {
  return RunFileDialog(request, false, false);
}

std::string ZenityDialogs::ChooseFileToSave(const FileDialogRequest& request) {
  return RunFileDialog(request, true, false);
}

std::string ZenityDialogs::ChooseFolder(const FileDialogRequest& request) {
  return RunFileDialog(request, false, true);
}

void ZenityDialogs::ShowMessage(const std::string& text, const std::string& caption) {
  RunChildProcess(MessageArguments(caption == "Error" ? "--error" : "--info", text, caption));
}

bool ZenityDialogs::AskYesNo(const std::string& text, const std::string& caption) {
  const ChildProcessResult r = RunChildProcess(MessageArguments("--question", text, caption));
  return r.started && r.finished && r.exitCode == 0;
}

bool ZenityDialogs::OpenUrl(const std::string& url) {
  if (url.empty() || url[0] == '-') return false; // never let an address pass as an option
  const ChildProcessResult r = RunChildProcess({mOpener, url}, kOpenUrlWaitMs);
  return r.started && (!r.finished || r.exitCode == 0);
}
