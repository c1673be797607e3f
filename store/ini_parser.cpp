#include "store/ini_parser.h"

#include <cstring>
#include <vector>

namespace {

bool IsBlank(char c) {
  return c == ' ' || c == '\t';
}
bool IsLineTrailer(char c) {
  return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

} // namespace

bool IniParser::AddLine(const char* line, size_t length) {
  if (mStopped) return false;
  if (!mSeenHeader) {
    mBytesBeforeHeader += length + 1;
    if (mBytesBeforeHeader > kIniMaxBytesBeforeHeader) {
      mStopped = true;
      mSections.clear();
      return false;
    }
  }
  // Values travel as C strings, so a zero byte ends the line's content.
  if (const void* zero = std::memchr(line, 0, length))
    length = static_cast<size_t>(static_cast<const char*>(zero) - line);
  while (length > 0 && IsLineTrailer(line[length - 1])) --length;
  size_t start = 0;
  while (start < length && IsBlank(line[start])) ++start;
  if (start == length) return true;
  const char* text = line + start;
  const size_t n = length - start;

  if (text[0] == '[') {
    const void* close = std::memchr(text + 1, ']', n - 1);
    if (!close) return true;
    const size_t nameLength = static_cast<size_t>(static_cast<const char*>(close) - (text + 1));
    mSeenHeader = true;
    if (nameLength == 0) {
      mCurrent = nullptr;
      return true;
    }
    std::string name(text + 1, nameLength);
    auto it = mSections.find(name);
    if (it == mSections.end()) {
      it = mSections.emplace(std::move(name), IniKeyMap()).first;
    } else {
      it->second.clear();
    }
    mCurrent = &it->second;
    return true;
  }

  if (!mCurrent) return true;
  const void* equals = std::memchr(text, '=', n);
  if (!equals) return true;
  size_t keyLength = static_cast<size_t>(static_cast<const char*>(equals) - text);
  const size_t valueStart = keyLength + 1;
  while (keyLength > 0 && IsBlank(text[keyLength - 1])) --keyLength;
  if (keyLength == 0) return true;
  std::string key(text, keyLength);
  std::string value(text + valueStart, n - valueStart);
  auto it = mCurrent->find(key);
  if (it == mCurrent->end()) {
    mCurrent->emplace(std::move(key), std::move(value));
  } else {
    it->second = std::move(value); // the later line wins, the first spelling stays
  }
  return true;
}

void ParseIniText(const char* data, size_t size, IniSections& sections) {
  IniParser parser(sections);
  size_t pos = 0;
  while (pos < size) {
    // A line of the maximum length may still end at the LF right after it.
    const size_t rest = size - pos;
    const size_t search = rest < kIniMaxLineLength + 1 ? rest : kIniMaxLineLength + 1;
    const void* lf = std::memchr(data + pos, '\n', search);
    if (lf) {
      const size_t end = static_cast<size_t>(static_cast<const char*>(lf) - data);
      if (!parser.AddLine(data + pos, end - pos)) return;
      pos = end + 1;
    } else {
      const size_t take = rest < kIniMaxLineLength ? rest : kIniMaxLineLength;
      if (!parser.AddLine(data + pos, take)) return;
      pos += take;
    }
  }
}

void ParseIniFile(std::FILE* file, IniSections& sections) {
  IniParser parser(sections);
  std::vector<char> chunk(65536);
  std::string line;
  for (;;) {
    const size_t got = std::fread(chunk.data(), 1, chunk.size(), file);
    if (got == 0) break;
    size_t pos = 0;
    while (pos < got) {
      const void* lf = std::memchr(chunk.data() + pos, '\n', got - pos);
      const size_t end =
          lf ? static_cast<size_t>(static_cast<const char*>(lf) - chunk.data()) : got;
      size_t take = end - pos;
      bool lineDone = lf != nullptr;
      if (line.size() + take > kIniMaxLineLength) {
        take = kIniMaxLineLength - line.size();
        lineDone = true;
      }
      line.append(chunk.data() + pos, take);
      pos += take;
      if (lineDone) {
        if (!parser.AddLine(line.data(), line.size())) return;
        line.clear();
        if (lf && pos == end) ++pos; // the LF that ended this line
      }
    }
  }
  if (!line.empty()) parser.AddLine(line.data(), line.size());
}

std::string FormatIniText(const IniSections& sections) {
  std::string text;
  for (const auto& [name, keys] : sections) {
    text += '[';
    text += name;
    text += "]\n";
    for (const auto& [key, value] : keys) {
      if (key.empty()) continue;
      text += key;
      text += '=';
      text += value;
      text += '\n';
    }
    text += '\n';
  }
  return text;
}
