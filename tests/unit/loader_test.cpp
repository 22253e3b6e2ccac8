// The point file loader: number grammar, text-mode rules, pieces, failures.
#include "app/app_state.h"
#include "app/messages.h"
#include "platform/fake/fake_platform.h"
#include "pointdata/point_file.h"
#include "pointdata/point_scan.h"

#include <gtest/gtest.h>

#include <charconv>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <limits>
#include <string>
#include <vector>

namespace {

// The bit pattern of a float.
uint32_t Bits(float value) {
  uint32_t bits;
  std::memcpy(&bits, &value, sizeof bits);
  return bits;
}

// One token and what the grammar makes of it.
struct NumberCase {
  std::string text;
  int consumed;   // bytes taken as the number; -1 when no number starts there
  uint32_t bits;  // the float's bit pattern (when a number)
};

const NumberCase NUMBER_CASES[] = {
    {"0", 1, 0x00000000},
    {"-0", 2, 0x80000000},
    {"+5", 2, 0x40a00000},
    {"-2.25", 5, 0xc0100000},
    {".5", 2, 0x3f000000},
    {"5.", 2, 0x40a00000},
    {"+.5x", 3, 0x3f000000},
    {".", -1, 0},
    {"-.", -1, 0},
    {"+", -1, 0},
    {"-e5", -1, 0},
    {".e5", -1, 0},
    {"3e1", 3, 0x41f00000},
    {"1E+2", 4, 0x42c80000},
    {"1e5x", 3, 0x47c35000},
    {"1e", 2, 0x3f800000},
    {"1e+", 3, 0x3f800000},
    {"1E- 2", 3, 0x3f800000},
    {"1.e1", 4, 0x41200000},
    {"1.2.3", 3, 0x3f99999a},
    {"0x1A", 1, 0x00000000},
    {"-0x5", 2, 0x80000000},
    {"inf", -1, 0},
    {"-infinity", -1, 0},
    {"nan", -1, 0},
    {"0.1", 3, 0x3dcccccd},
    {"1e10", 4, 0x501502f9},
    {"123456789", 9, 0x4ceb79a3},
    {"16777217", 8, 0x4b800000},   // halfway: to even
    {"16777219", 8, 0x4b800002},   // halfway: to even (upwards)
    {"3.4028235e38", 12, 0x7f7fffff},
    {"3.40282357e38", 13, 0x7f800000},
    {"1e39", 4, 0x7f800000},
    {"-1e39", 5, 0xff800000},
    {"1e99999999999999999999", 22, 0x7f800000},
    {"1.17549435e-38", 14, 0x00800000},
    {"1e-40", 5, 0x000116c2},
    {"1.4e-45", 7, 0x00000001},
    {"8e-46", 5, 0x00000001},
    {"7e-46", 5, 0x00000000},
    {"-1e-50", 6, 0x80000000},
    {"1e-99999999999999999999", 23, 0x00000000},
    {"0e99999", 7, 0x00000000},
    {"1.000000059604644775390625", 26, 0x3f800000},       // exactly halfway: to even
    {"1.0000000596046447753906251", 27, 0x3f800001},      // just above halfway
    {"1.000000178813934326171875", 26, 0x3f800002},       // halfway: to even (upwards)
    {"1.000000178813934326171874", 26, 0x3f800001},       // just below halfway
    {"9.56444787979126", 16, 0x411907fb},                 // its double is a float halfway
    {"0.000000000000000000000000000000000000000000000001e+42", 54, 0x358637bd},
    {"1000000000000000000000000000000000000000000000000e-54", 53, 0x358637bd},
    {"0000000000000000000000000000123.5", 33, 0x42f70000},
};

TEST(LoaderGrammar, NumberTable) {
  for (const NumberCase& c : NUMBER_CASES) {
    float value = 12345.0f;
    const char* begin = c.text.data();
    const char* end = ScanNumber(begin, begin + c.text.size(), &value);
    if (c.consumed < 0) {
      EXPECT_EQ(end, nullptr) << c.text;
      EXPECT_EQ(value, 12345.0f) << c.text << ": nothing may be written";
      continue;
    }
    ASSERT_NE(end, nullptr) << c.text;
    EXPECT_EQ(end - begin, c.consumed) << c.text;
    EXPECT_EQ(Bits(value), c.bits) << c.text;
  }
}

// Mantissas far longer than a piece still round correctly.
TEST(LoaderGrammar, VeryLongMantissas) {
  const std::string cases[][2] = {
      {"0." + std::string(300, '0') + "1e+301", "1"},
      {"1" + std::string(400, '0') + "e-400", "1"},
      {"1.000000059604644775390625" + std::string(2000, '0') + "1", "1.0000000596046448"},
      {"1.000000059604644775390625" + std::string(2000, '0'), "1"},
  };
  for (const auto& c : cases) {
    float value = 0.0f, expected = 0.0f;
    const char* end = ScanNumber(c[0].data(), c[0].data() + c[0].size(), &value);
    std::from_chars(c[1].data(), c[1].data() + c[1].size(), expected);
    ASSERT_EQ(end, c[0].data() + c[0].size());
    EXPECT_EQ(Bits(value), Bits(expected)) << c[0].substr(0, 40);
  }
}

// The quick conversion of short decimals agrees with the correctly rounded library one.
TEST(LoaderGrammar, ShortDecimalsMatchCorrectRounding) {
  const char* formats[] = {"%.6f", "%.7f", "%.3f", "%.9g", "%.6e", "%.0f"};
  uint32_t state = 12345u;
  for (int i = 0; i < 20000; ++i) {
    state = state * 1664525u + 1013904223u;
    double v = ((double)state / 4294967296.0 - 0.5) * 1.0e1 * (1 + i % 7) * (i % 3 ? 1 : 1e5);
    char text[64];
    int n = std::snprintf(text, sizeof text, formats[i % 6], v);
    float got = 0.0f, expected = 0.0f;
    ASSERT_NE(ScanNumber(text, text + n, &got), nullptr) << text;
    const char* unsignedText = text[0] == '-' ? text + 1 : text;
    std::from_chars(unsignedText, text + n, expected);
    if (text[0] == '-') expected = -expected;
    ASSERT_EQ(Bits(got), Bits(expected)) << text;
  }
}

// A piece's text, how many fields it supplies and their values (over 7 8 9).
struct PieceCase {
  std::string text;
  int written;
  float x, y, z;
};

const PieceCase PIECE_CASES[] = {
    {"1 2 3\n", 3, 1, 2, 3},
    {"  1\t2\v3\f\r\n", 3, 1, 2, 3},
    {"1e 2 3", 3, 1, 2, 3},
    {"1,2,3", 1, 1, 8, 9},
    {"1 x 3", 1, 1, 8, 9},
    {"1 2 inf", 2, 1, 2, 9},
    {"0x10 2 3", 1, 0, 8, 9},
    {"1.5.5 6", 3, 1.5f, 0.5f, 6},
    {"-1-2+3", 3, -1, -2, 3},
    {std::string("1 2\0 3", 6), 2, 1, 2, 9},
    {"\n", 0, 7, 8, 9},
    {"", 0, 7, 8, 9},
    {"1 2 3 4 5", 3, 1, 2, 3},
};

TEST(LoaderGrammar, PieceTable) {
  for (const PieceCase& c : PIECE_CASES) {
    float xyz[3] = {7, 8, 9};
    int written = ScanPiece(c.text.data(), c.text.data() + c.text.size(), xyz);
    EXPECT_EQ(written, c.written) << c.text;
    EXPECT_EQ(Bits(xyz[0]), Bits(c.x)) << c.text;
    EXPECT_EQ(Bits(xyz[1]), Bits(c.y)) << c.text;
    EXPECT_EQ(Bits(xyz[2]), Bits(c.z)) << c.text;
  }
}

// "1 2 3" padded with blanks to width characters.
std::string Padded(const std::string& text, size_t width) {
  return text + std::string(width - text.size(), ' ');
}

// A file's bytes and the table the loader must make of it.
struct FileCase {
  const char* name;
  std::string content;
  int32_t count;
  std::vector<PointRecord> records;
};

std::vector<FileCase> FileCases() {
  return {
      {"example", "0 0 1\n0.5 -2.25 3e1\n", 2, {{0, 0, 1}, {0.5f, -2.25f, 30}}},
      {"empty", "", 0, {}},
      {"no final line feed", "1 2 3\n4 5 6", 1, {{1, 2, 3}}},
      {"blank line repeats", "1 2 3\n\n4 5 6\n", 3, {{1, 2, 3}, {1, 2, 3}, {4, 5, 6}}},
      {"CR LF", "1 2 3\r\n\r\n4 5 6\r\n", 3, {{1, 2, 3}, {1, 2, 3}, {4, 5, 6}}},
      {"lone CR is no line end", "1 2 3\r4 5 6\n", 1, {{1, 2, 3}}},
      {"lone CR is white space", "1\r2\r3\n", 1, {{1, 2, 3}}},
      {"commas", "7 8 9\n1,2,3\n", 2, {{7, 8, 9}, {1, 8, 9}}},
      {"first line missing values", "5\n", 1, {{5, 0, 0}}},
      {"text first", "abc\n1 2 3\n", 2, {{0, 0, 0}, {1, 2, 3}}},
      {"Ctrl-Z ends counting", "1 2 3\n4 5 6\x1a\n7 8 9\n", 1, {{1, 2, 3}}},
      {"Ctrl-Z mid-line", "1 2\x1a 3\n4 5 6\n", 0, {}},
      {"NUL ends the scan", std::string("1 2\0003\n", 7), 1, {{1, 2, 0}}},
      {"253 then LF", Padded("1 2 3", 253) + "\n4 5 6\n", 2, {{1, 2, 3}, {4, 5, 6}}},
      {"254 then LF", Padded("1 2 3", 254) + "\n4 5 6\n", 2, {{1, 2, 3}, {1, 2, 3}}},
      {"255 then LF", Padded("1 2 3", 254) + "9\n4 5 6\n", 2, {{1, 2, 3}, {9, 2, 3}}},
      {"253 then CR LF", Padded("1 2 3", 253) + "\r\n4 5 6\r\n", 2, {{1, 2, 3}, {4, 5, 6}}},
      {"254 then CR LF", Padded("1 2 3", 254) + "\r\n4 5 6\r\n", 2, {{1, 2, 3}, {1, 2, 3}}},
      {"253 then lone CR", Padded("1 2 3", 253) + "\r7\n\n", 2, {{1, 2, 3}, {7, 2, 3}}},
      {"number cut by the piece", std::string(250, ' ') + "12345678\n\n", 2,
       {{1234, 0, 0}, {5678, 0, 0}}},
      {"long line spills over", Padded("1", 600) + "\n2\n3\n", 3, {{1, 0, 0}, {1, 0, 0}, {1, 0, 0}}},
  };
}

// Writes content to a file of the working directory and returns its name.
std::string WriteTempFile(int index, const std::string& content) {
  std::string name = "loader_test_" + std::to_string(index) + ".txt";
  FILE* f = std::fopen(name.c_str(), "wb");
  if (f != nullptr) {
    std::fwrite(content.data(), 1, content.size(), f);
    std::fclose(f);
  }
  return name;
}

TEST(LoaderFile, FileTable) {
  int index = 0;
  for (const FileCase& c : FileCases()) {
    ResetFakePlatform();
    std::string name = WriteTempFile(index++, c.content);
    LoadPointFile(name.c_str());
    EXPECT_EQ(loadedFileInfo.fileName, name.c_str()) << c.name;
    EXPECT_TRUE(fakePlatform.boxes.empty()) << c.name;
    int lineFeeds = 0;
    for (char ch : c.content.substr(0, c.content.find('\x1a'))) lineFeeds += ch == '\n';
    EXPECT_EQ(loadedFileInfo.vertexCounter, (float)lineFeeds) << c.name;
    ASSERT_EQ(pointTable.count, c.count) << c.name;
    ASSERT_NE(pointTable.records, nullptr) << c.name;
    for (int32_t i = 0; i < c.count; ++i) {
      EXPECT_EQ(Bits(pointTable.records[i].x), Bits(c.records[i].x)) << c.name << " record " << i;
      EXPECT_EQ(Bits(pointTable.records[i].y), Bits(c.records[i].y)) << c.name << " record " << i;
      EXPECT_EQ(Bits(pointTable.records[i].z), Bits(c.records[i].z)) << c.name << " record " << i;
    }
    ReleasePointTable();
    std::remove(name.c_str());
  }
}

TEST(LoaderFile, UnopenableFileIsReportedAndLeavesTheTableEmpty) {
  ResetFakePlatform();
  const char* name = "loader_test_missing_dir/none.txt";
  LoadPointFile(name);
  ASSERT_EQ(fakePlatform.boxes.size(), 1u);
  EXPECT_EQ(fakePlatform.boxes[0].owner, nullptr);
  EXPECT_EQ(fakePlatform.boxes[0].text, MSG_CANNOT_OPEN_FILE);
  EXPECT_EQ(fakePlatform.boxes[0].caption, CAPTION_SHUTDOWN_ERROR);
  EXPECT_EQ(fakePlatform.boxes[0].type, (UINT)(MB_OK | MB_ICONINFORMATION));
  EXPECT_EQ(pointTable.count, 0);
  EXPECT_EQ(pointTable.records, nullptr);
  EXPECT_EQ(loadedFileInfo.vertexCounter, 0.0f);
  EXPECT_EQ(loadedFileInfo.fileName, name);
}

// Content with every kind of line end and length, for the buffer-boundary test.
std::string MixedContent() {
  std::string s;
  uint32_t state = 7u;
  for (int i = 0; i < 3000; ++i) {
    state = state * 1103515245u + 12345u;
    int kind = (state >> 16) % 6;
    char line[64];
    std::snprintf(line, sizeof line, "%d.%03u %u -%u", i, state % 1000, state % 97, i % 13);
    s += kind == 5 ? Padded(line, 240 + (state >> 8) % 30) : std::string(line);
    s += kind == 1 ? "\r\n" : kind == 2 ? "\r" : "\n";
  }
  return s;
}

// The read buffer's size never shows in the result: refills land anywhere in a piece.
TEST(LoaderPieces, BufferSizeDoesNotMatter) {
  std::string content = MixedContent();
  PointInput input;
  input.memory = content.data();
  input.memorySize = content.size();
  std::vector<char> big(POINT_READ_BUFFER_SIZE);
  int32_t count = (int32_t)CountPointLines(&input, big.data(), big.size());
  std::vector<PointRecord> expected(count), got(count);
  ASSERT_EQ(ParsePointPieces(&input, big.data(), big.size(), expected.data(), count), count);
  for (size_t size : {POINT_READ_BUFFER_MIN, POINT_READ_BUFFER_MIN + 1, (size_t)777, (size_t)4099}) {
    std::vector<char> small(size);
    input.memoryOffset = 0;
    EXPECT_EQ((int32_t)CountPointLines(&input, small.data(), small.size()), count) << size;
    ASSERT_EQ(ParsePointPieces(&input, small.data(), small.size(), got.data(), count), count);
    EXPECT_EQ(std::memcmp(got.data(), expected.data(), count * sizeof(PointRecord)), 0) << size;
  }
}

// Reading stops at the table's size and at a Ctrl-Z, whichever comes first.
TEST(LoaderPieces, StopsAtCountAndAtCtrlZ) {
  struct Case {
    std::string content;
    int32_t room;
    int32_t stored;
  } cases[] = {
      {"1\n2\n3\n", 2, 2},
      {"1\n2\n3\n", 10, 3},
      {"1\n2\n3", 10, 3},
      {"1 2 3\n\x1a" "5 6 7\n", 10, 1},
      {"\x1a" "1\n", 10, 0},
  };
  for (const Case& c : cases) {
    PointInput input;
    input.memory = c.content.data();
    input.memorySize = c.content.size();
    std::vector<char> buffer(POINT_READ_BUFFER_MIN);
    std::vector<PointRecord> records(c.room);
    EXPECT_EQ(ParsePointPieces(&input, buffer.data(), buffer.size(), records.data(), c.room),
              c.stored)
        << c.content;
  }
}

TEST(LoaderTable, SizeGuard) {
  const uint64_t sizeMax = std::numeric_limits<size_t>::max();
  struct Case {
    int64_t count;
    bool fits;
    uint64_t bytes;
  } cases[] = {
      {0, true, 0},
      {5, true, 60},
      {-1, false, 0},
      {std::numeric_limits<int64_t>::min(), false, 0},
      {(int64_t)(sizeMax / 12 > (uint64_t)INT64_MAX ? INT64_MAX / 12 : sizeMax / 12), true,
       (sizeMax / 12 > (uint64_t)INT64_MAX ? INT64_MAX / 12 : sizeMax / 12) * 12},
      {sizeMax / 12 >= (uint64_t)INT64_MAX ? INT64_MAX : (int64_t)(sizeMax / 12 + 1), false, 0},
  };
  for (const Case& c : cases) {
    size_t bytes = 999;
    EXPECT_EQ(PointTableBytes(c.count, &bytes), c.fits) << c.count;
    if (c.fits) {
      EXPECT_EQ(bytes, c.bytes) << c.count;
    }
  }
  // 32-bit: INT32_MAX records are more bytes than an address space holds.
  size_t bytes = 0;
  EXPECT_EQ(PointTableBytes(INT32_MAX, &bytes), sizeof(size_t) > 4);
}

TEST(LoaderTable, AllocationAndRelease) {
  ResetFakePlatform();
  AllocatePointTable(-1);
  EXPECT_EQ(pointTable.records, nullptr);
  AllocatePointTable(0);
  EXPECT_NE(pointTable.records, nullptr) << "zero records still make a valid block";
  ReleasePointTable();
  EXPECT_EQ(pointTable.records, nullptr);
  EXPECT_EQ(pointTable.count, 0);
  if (sizeof(size_t) == 4) {
    AllocatePointTable(INT32_MAX);
    EXPECT_EQ(pointTable.records, nullptr);
  }
  ReleasePointTable();  // null is allowed
  EXPECT_EQ(pointTable.records, nullptr);
}

// The line count crosses the read buffer's edges and stops at the first Ctrl-Z.
TEST(LoaderPieces, CountsLineFeedsAcrossRefills) {
  std::string content(100000, 'a');
  for (size_t i = 0; i < content.size(); i += 7) content[i] = '\n';
  uint64_t expected = (content.size() + 6) / 7;
  std::vector<char> buffer(POINT_READ_BUFFER_MIN);
  PointInput input;
  input.memory = content.data();
  input.memorySize = content.size();
  EXPECT_EQ(CountPointLines(&input, buffer.data(), buffer.size()), expected);
  content[50001] = '\x1a';
  input.memoryOffset = 0;
  EXPECT_EQ(CountPointLines(&input, buffer.data(), buffer.size()), (50001 + 6) / 7u);
}

}  // namespace
