// Reading and writing the program's files safely: a pipe or a device named as a file never makes
// the program wait, a save replaces the old file only once the new one is on disk, and the
// system's reasons are given in English whatever the locale.
#pragma once

#include <cstddef>
#include <cstdint>
#include <limits>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace tarn {

// The reason for a refused special file (a pipe, a device, a socket).
inline constexpr const char* kNotRegularFile = "not a regular file";
// The reason for refusing to replace a file without write permission.
inline constexpr const char* kReadOnlyFile = "the file is read-only";

// The system's description of the error number err ("No such file or directory"), in English
// under every locale. Every message that gives the system's reason takes it from here.
std::string SystemErrorText(int err);

// Reads at most limit bytes of the regular file at path into bytes. Returns "" on success, else
// the reason. Anything that is not a regular file is refused at once, without waiting for a
// writer.
std::string ReadRegularFile(const std::string& path, std::vector<std::uint8_t>& bytes,
                            std::size_t limit = std::numeric_limits<std::size_t>::max());

// Makes the file at path hold exactly bytes. Returns "" on success, else the reason; on failure
// the old file is as it was and nothing is left behind (except when only the folder's sync
// fails: the new file is in place then, but it may not yet be on disk).
//
// The bytes go to a new temporary file beside the target (NAME.part and six random characters,
// a name no file had, so that a leftover of a save killed half-way never blocks a save and is
// never touched), which takes the old file's permissions, is synced and then renamed over the
// target, and the folder is synced so that the rename itself is on disk: at no moment does the
// name lead to half a file. A symbolic link is written through: the target it leads to is
// replaced and the link stays. A link that leads nowhere, a folder, a special file and a file
// without write permission (kReadOnlyFile, also for the superuser) are refused.
std::string WriteFileSafely(const std::string& path, std::span<const std::uint8_t> bytes);
inline std::string WriteFileSafely(const std::string& path, std::string_view text) {
    return WriteFileSafely(
        path, std::span(reinterpret_cast<const std::uint8_t*>(text.data()), text.size()));
}

}  // namespace tarn
