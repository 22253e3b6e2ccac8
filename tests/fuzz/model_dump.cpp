// model-dump FILE: what point-dump must print for FILE, from the model of the line reader
// (line_reader_model.h) instead of the loader: a record for each line feed before the first
// Ctrl-Z. The parity suite compares every build's point-dump with it, record by record.
#include "tests/fuzz/line_reader_model.h"
#include "tools/point_dump_format.h"

#include <cstdio>

// Reads the whole file and prints the model's dump of it.
int main(int argc, char** argv) {
  FILE* file = argc == 2 ? std::fopen(argv[1], "rb") : nullptr;
  if (file == nullptr) {
    std::fprintf(stderr, "usage: model-dump FILE (a file that can be read)\n");
    return 2;
  }
  std::vector<uint8_t> data;
  for (int c; (c = std::fgetc(file)) != EOF;) data.push_back((uint8_t)c);
  std::fclose(file);
  size_t lines = std::count(data.begin(), std::find(data.begin(), data.end(), 0x1A), '\n');
  Records records = ExpectedRecords(data.data(), data.size(), lines);
  PrintPointDump((int32_t)records.size(), (float)lines, records.data(), false);
  return 0;
}
