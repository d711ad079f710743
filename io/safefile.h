// Reading the program's files safely: a pipe or a device named as a file never makes the program
// wait.
#pragma once

#include <cstddef>
#include <cstdint>
#include <limits>
#include <string>
#include <vector>

namespace tarn {

// The reason for a refused special file (a pipe, a device, a socket).
inline constexpr const char* kNotRegularFile = "not a regular file";

// The system's description of the error number err ("No such file or directory").
std::string SystemErrorText(int err);

// Reads at most limit bytes of the regular file at path into bytes. Returns "" on success, else
// the reason. Anything that is not a regular file is refused at once, without waiting for a
// writer.
std::string ReadRegularFile(const std::string& path, std::vector<std::uint8_t>& bytes,
                            std::size_t limit = std::numeric_limits<std::size_t>::max());

}  // namespace tarn
