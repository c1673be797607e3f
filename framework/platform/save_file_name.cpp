#include "framework/platform/save_file_name.h"

#include <cctype>
#include <sys/stat.h>

namespace {

std::string lowerCase(std::string text) {
  for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return text;
}

bool endsWith(const std::string& text, const std::string& end) {
  return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

} // namespace

std::string DialogExtension(const FileDialogRequest& request) {
  for (const FileFilter& filter : request.filters)
    for (const std::string& pattern : filter.patterns)
      if (pattern.size() > 2 && pattern.compare(0, 2, "*.") == 0 &&
          pattern.find_first_of("*?[", 2) == std::string::npos)
        return pattern.substr(1);
  return std::string();
}

std::string WithDialogExtension(const std::string& path, const FileDialogRequest& request) {
  const std::string extension = DialogExtension(request);
  if (path.empty() || extension.empty() || path.back() == '/') return path;
  const std::string name = lowerCase(path.substr(path.find_last_of('/') + 1));
  for (const FileFilter& filter : request.filters)
    for (const std::string& pattern : filter.patterns)
      if (pattern.size() > 2 && pattern.compare(0, 2, "*.") == 0 &&
          endsWith(name, lowerCase(pattern.substr(1))))
        return path;
  return path + extension;
}

std::string ChooseFileToSaveWithExtension(IPlatformDialogs& dialogs,
                                          const FileDialogRequest& request) {
  const std::string chosen = dialogs.ChooseFileToSave(request);
  const std::string path = WithDialogExtension(chosen, request);
  struct stat st;
  if (path != chosen && lstat(path.c_str(), &st) == 0 &&
      !dialogs.AskYesNo("The file " + path + " already exists.\n\nDo you want to replace it?",
                        request.title))
    return std::string();
  return path;
}
