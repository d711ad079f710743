// The dimension file: a whole design (dimensions, view and presets, reverse-arm positions,
// diagram scale and the lines-and-circles overlay) as 70 records of five little-endian 32-bit
// words. Saving never damages the old file; loading checks the whole file before it changes
// anything.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "core/model/model.h"

namespace tarn {

inline constexpr int kDimRecordCount = 70;
inline constexpr int kDimWordsPerRecord = 5;
inline constexpr int kDimRecordBytes = 20;
inline constexpr int kDimFileBytes = kDimRecordCount * kDimRecordBytes;  // 1400

using DimFileImage = std::array<std::uint8_t, kDimFileBytes>;

// The design name a file gives: its base name (after the last '/' or '\') without its last
// extension; a name without an extension stays whole.
std::string DesignNameFromPath(std::string_view path);

// The 1400 bytes that describe the model, bit for bit.
DimFileImage EncodeDimensionFile(const Model& m);

// Checks the image and, only if every used word is sound, copies it into the model and brings
// the model into line with it (gear limits, LineIndex, mid gear). `what` names
// the file in messages. Returns "" on success, else the reason; the model is then unchanged.
// DesignName is left alone: the caller knows the path.
std::string DecodeDimensionFile(std::span<const std::uint8_t> image, std::string_view what,
                                Model& m);

// The outcome of a save or a load: ok, or the message for the user.
struct FileResult {
    bool ok = false;
    std::string error;
};

// Writes the design to path with WriteFileSafely (io/safefile.h): through a temporary file
// beside it that replaces the old file only when every byte is on disk; a link is written
// through, a special file is refused. On success DesignName follows the path; on failure the
// old file and the model stay as they were.
FileResult SaveDimensionFile(Model& m, const std::string& path);

// Reads and checks the file, then applies it and runs the model side of opening a design
// (DesignName from the path, LineIndex, mid gear). A refused file changes nothing.
FileResult LoadDimensionFile(Model& m, const std::string& path);

}  // namespace tarn
