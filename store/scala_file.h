#pragma once
// Scala scale files (.scl): a reader that accepts every line-end form, and the export writer.
#include <cstddef>
#include <cstdio>
#include <string>

class ScalaScaleFile {
public:
  explicit ScalaScaleFile(const char* path);     // opens the file in mode "rb"
  ScalaScaleFile(const char* data, size_t size); // reads from memory
  ~ScalaScaleFile();
  ScalaScaleFile(const ScalaScaleFile&) = delete;
  ScalaScaleFile& operator=(const ScalaScaleFile&) = delete;

  bool IsOpen() const { return mFile != nullptr || mData != nullptr; }

  // First character of the next line that does not start with "!" (consumed), or -1 at the end.
  int SkipComments();
  // One blank-separated token of the next non-comment line; 0 on failure, else its length + 1.
  int ReadVal(char* buffer, int size);
  // A pitch line as a frequency ratio ("3/2", "2", or cents when it holds "."); 0 when invalid.
  double ReadPitch();
  // Discards everything up to and including the next line end.
  void SkipRestOfLine();

private:
  int GetRawChar();
  int GetChar(); // every line end comes out as one LF

  std::FILE* mFile = nullptr;
  const unsigned char* mData = nullptr;
  size_t mSize = 0;
  size_t mPos = 0;
  int mPushBack = -1;
};

constexpr int kScalaMaxImportedPitches = 12;

struct ScalaScale {
  int noteCount = 0;                            // as the file states it
  int pitchCount = 0;                           // pitches read: min(noteCount, 12)
  double ratios[kScalaMaxImportedPitches] = {}; // 0 where the pitch line was invalid
};

// Reads description, note count and up to 12 pitches. False when the note count is missing,
// too long or not positive; the scale is then to be left alone.
bool ReadScalaScale(ScalaScaleFile& file, ScalaScale& scale);

// Cents of a frequency ratio.
double ScalaRatioToCents(double ratio);

// The part of a path after its last "/" or "\".
std::string ScalaDisplayName(const std::string& path);

// The export: 12 pitches in cents above the reference (degree 1..12), five decimals each.
std::string FormatScalaExport(const std::string& displayName, const double cents[12]);

// Writes the export to `path`; false when the file cannot be written completely, which then
// keeps whatever file was there.
bool WriteScalaFile(const std::string& path, const double cents[12]);
