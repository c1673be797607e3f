#include "framework/core/byte_chunk.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

TEST(ByteChunk, AppendStringWritesLengthThenBytes) {
  IByteChunk chunk;
  chunk.AppendString("abc");
  const std::vector<uint8_t> expected{3, 0, 0, 0, 'a', 'b', 'c'};
  ASSERT_EQ(chunk.Size(), 7);
  EXPECT_EQ(std::vector<uint8_t>(chunk.GetData(), chunk.GetData() + 7), expected);

  std::string text;
  EXPECT_EQ(chunk.ReadString(text, 0), 7);
  EXPECT_EQ(text, "abc");
}

TEST(ByteChunk, ReadsNeverLeaveTheBuffer) {
  IByteChunk chunk;
  const double d = 1.5;
  const int32_t i = 7;
  chunk.AppendValue(&d);
  chunk.AppendValue(&i);
  double out = -1;
  EXPECT_EQ(chunk.ReadValue(&out, chunk.Size() - 4), -1);
  EXPECT_EQ(out, -1); // untouched on failure
  EXPECT_EQ(chunk.ReadValue(&out, -1), -1);
  EXPECT_EQ(chunk.ReadValue(&out, 0), 8);
  EXPECT_EQ(out, 1.5);

  std::string text = "kept";
  EXPECT_EQ(chunk.ReadString(text, 8), -1); // length 7 but no bytes follow
  EXPECT_EQ(text, "kept");
}

TEST(ByteChunk, NegativeStringLengthFails) {
  IByteChunk chunk;
  const int32_t n = -5;
  chunk.AppendValue(&n);
  chunk.AppendBytes("abcdef", 6);
  std::string text;
  EXPECT_EQ(chunk.ReadString(text, 0), -1);
}

TEST(ByteChunk, StringEndsAtZeroByte) {
  IByteChunk chunk;
  chunk.AppendString(std::string("ab\0cd", 5));
  std::string text;
  EXPECT_EQ(chunk.ReadString(text, 0), 9);
  EXPECT_EQ(text, "ab");
}
