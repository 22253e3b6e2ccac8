// A model of the point file's reading, kept apart from the loader: a text-mode stream read
// through a 255-byte line reader, each piece scanned by the general number scan. The fuzz
// target checks the loader against it, and the parity suite every build's point-dump.
#pragma once

#include "pointdata/point_number.h"
#include "records/app_state.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

using Records = std::vector<PointRecord>;

// The records of the first limit pieces a text-mode stream and a 255-byte line reader give
// for the first size bytes of data (CR LF read as LF, the input ended at a Ctrl-Z), from
// the lines a line feed ends: a last line without one gives none.
inline Records ExpectedRecords(const uint8_t* data, size_t size, size_t limit) {
  std::string text;
  for (size_t i = 0; i < size && data[i] != 0x1A; ++i) {
    if (data[i] != '\r' || i + 1 == size || data[i + 1] != '\n') text += (char)data[i];
  }
  text.erase(text.rfind('\n') + 1);  // all of it without a line feed (npos + 1 is 0)
  Records records;
  float xyz[3] = {0.0f, 0.0f, 0.0f};
  const char* stop = nullptr;
  for (size_t pos = 0, length; pos < text.size() && records.size() < limit; pos += length) {
    length = std::min(std::min(text.find('\n', pos), text.size() - 1) + 1 - pos, (size_t)254);
    std::string piece = text.substr(pos, length);
    ScanPiece(piece.c_str(), piece.c_str() + length, xyz, &stop);
    records.push_back({xyz[0], xyz[1], xyz[2]});
  }
  return records;
}
