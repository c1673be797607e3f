#pragma once
// Replaces a file in one step: the text goes to a hidden ".<name>.new" beside it, which is then
// renamed over the file, so readers see the old or the new file, never a half-written one.
#include <string>

// The path of the temporary file used for `path`.
std::string AtomicWriteTempPath(const std::string& path);

// Writes `text` to `path`. Returns false, leaving `path` untouched, when anything fails. A
// existing file this user may not write is left alone (false); its permission bits are kept
// otherwise.
bool WriteFileAtomically(const std::string& path, const std::string& text);
