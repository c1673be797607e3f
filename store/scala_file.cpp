#include "store/scala_file.h"

#include "store/fx_format.h"

#include <charconv>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <locale.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

bool IsSpace(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

// Leading integer as atoi reads it, but saturating instead of overflowing.
long long LeadingInteger(const char* s) {
  while (IsSpace(*s)) ++s;
  bool negative = false;
  if (*s == '+' || *s == '-') negative = *s++ == '-';
  long long n = 0;
  for (; *s >= '0' && *s <= '9'; ++s) {
    if (n < LLONG_MAX / 10) n = n * 10 + (*s - '0');
  }
  return negative ? -n : n;
}

// Decimal numbers in files always use ".", whatever locale the host has set.
double LeadingDecimal(const char* s) {
  static const locale_t cLocale = newlocale(LC_ALL_MASK, "C", nullptr);
  return cLocale ? strtod_l(s, nullptr, cLocale) : std::strtod(s, nullptr);
}

} // namespace

ScalaScaleFile::ScalaScaleFile(const char* path) {
  if (!path) return;
  // Only regular files: a folder reads as nothing and a FIFO would block the user interface.
  const int fd = open(path, O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) return;
  struct stat st;
  if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || !(mFile = fdopen(fd, "rb"))) close(fd);
}

ScalaScaleFile::ScalaScaleFile(const char* data, size_t size)
    : mData(reinterpret_cast<const unsigned char*>(data ? data : "")), mSize(data ? size : 0) {}

ScalaScaleFile::~ScalaScaleFile() {
  if (mFile) std::fclose(mFile);
}

int ScalaScaleFile::GetRawChar() {
  if (mFile) return std::getc(mFile);
  if (mData && mPos < mSize) return mData[mPos++];
  return -1;
}

int ScalaScaleFile::GetChar() {
  int c;
  if (mPushBack >= 0) {
    c = mPushBack;
    mPushBack = -1;
  } else {
    c = GetRawChar();
  }
  if (c == '\r' || c == '\n') {
    const int next = GetRawChar();
    const int partner = c == '\r' ? '\n' : '\r';
    if (next != partner && next >= 0) mPushBack = next;
    return '\n';
  }
  return c;
}

void ScalaScaleFile::SkipRestOfLine() {
  int c;
  do c = GetChar();
  while (c != '\n' && c >= 0);
}

int ScalaScaleFile::SkipComments() {
  int c = GetChar();
  while (c == '!') {
    SkipRestOfLine();
    c = GetChar();
  }
  return c;
}

int ScalaScaleFile::ReadVal(char* buffer, int size) {
  int c = SkipComments();
  if (c < 0) return 0;
  long long count = 0;
  bool inToken = false, afterToken = false;
  for (; c != '\n' && c >= 0; c = GetChar()) {
    if (afterToken) continue;
    const bool blank = c == ' ' || c == '\t';
    if (!inToken) {
      if (blank) continue;
      inToken = true;
    } else if (blank) {
      afterToken = true;
      continue;
    }
    if (count < size - 1) buffer[count] = static_cast<char>(c);
    if (count < INT_MAX) ++count;
  }
  if (size <= 0 || count >= size) return 0;
  buffer[count] = 0;
  return static_cast<int>(count) + 1;
}

double ScalaScaleFile::ReadPitch() {
  char token[32];
  if (ReadVal(token, sizeof token) == 0) return 0.0;
  double ratio = 0.0;
  if (std::strchr(token, '.')) {
    ratio = std::pow(2.0, LeadingDecimal(token) / 1200.0);
  } else {
    const long long n = LeadingInteger(token);
    if (n <= 0) return 0.0;
    if (const char* slash = std::strchr(token, '/')) {
      const long long d = LeadingInteger(slash + 1);
      ratio = d > 0 ? static_cast<double>(n) / static_cast<double>(d) : 0.0;
    } else {
      ratio = static_cast<double>(n);
    }
  }
  // Overflowing or underflowing cents are no usable pitch.
  return std::isfinite(ratio) && ratio > 0.0 ? ratio : 0.0;
}

bool ReadScalaScale(ScalaScaleFile& file, ScalaScale& scale) {
  scale = ScalaScale();
  if (!file.IsOpen()) return false;
  // The description line may be empty; then its line end has already been read.
  const int first = file.SkipComments();
  if (first < 0) return false;
  if (first != '\n') file.SkipRestOfLine();
  char count[16];
  if (file.ReadVal(count, sizeof count) == 0) return false;
  const long long n = LeadingInteger(count);
  if (n <= 0) return false;
  scale.noteCount = n > INT_MAX ? INT_MAX : static_cast<int>(n);
  scale.pitchCount = n < kScalaMaxImportedPitches ? static_cast<int>(n) : kScalaMaxImportedPitches;
  for (int k = 0; k < scale.pitchCount; ++k) scale.ratios[k] = file.ReadPitch();
  return true;
}

double ScalaRatioToCents(double ratio) {
  return 1200.0 * std::log2(ratio);
}

std::string ScalaDisplayName(const std::string& path) {
  const size_t cut = path.find_last_of("/\\");
  return cut == std::string::npos ? path : path.substr(cut + 1);
}

std::string FormatScalaExport(const std::string& displayName, const double cents[12]) {
  std::string text = "! " + displayName + "\n!\nVarnel Tuning Export\n 12\n!\n";
  for (int k = 0; k < 12; ++k) {
    char number[64];
    const auto result =
        std::to_chars(number, number + sizeof number, cents[k], std::chars_format::fixed, 5);
    text += ' ';
    text.append(number, result.ec == std::errc() ? result.ptr : number);
    text += '\n';
  }
  return text;
}

bool WriteScalaFile(const std::string& path, const double cents[12]) {
  const std::string text = FormatScalaExport(ScalaDisplayName(path), cents);
  IByteChunk bytes;
  bytes.AppendBytes(text.data(), static_cast<int>(text.size()));
  // Replaced in one step, as program and bank files are: a failed write keeps the old tuning.
  return fx::WriteWholeFile(path, bytes);
}
