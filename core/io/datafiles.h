// The program's data files: its two wave files and its two instruction texts. They are looked
// for in the working directory first (the way the program has always been started, from a
// folder that holds them), then in the data folder installed with the program: a program in
// PREFIX/bin reads PREFIX/share/tarn1, wherever PREFIX has been moved to.
#pragma once

#include <array>
#include <filesystem>
#include <ostream>
#include <string>
#include <string_view>

namespace tarn {

inline constexpr std::array<std::string_view, 4> kDataFileNames = {
    "Exhaust.wav", "Error.wav", "instruct.doc", "TarnISpIns.doc"};

// The installed data folder of a program that lives in programDir: programDir/../share/tarn1,
// written without the "..".
std::filesystem::path InstalledDataDir(const std::filesystem::path& programDir);

// Where `name` is read from: workDir/name when it exists there (an empty workDir is the working
// directory, and the plain name comes back), else the installed copy; "" when neither exists.
std::filesystem::path FindDataFile(std::string_view name, const std::filesystem::path& workDir,
                                   const std::filesystem::path& programDir);

// The folder that holds the running program, from the system's own record of it; "" when it
// cannot be told.
std::filesystem::path RunningProgramDir();

// Writes one line per data file: its name and the full path it is read from, or "missing".
// Returns true when every file was found.
bool ListDataFiles(std::ostream& out, const std::filesystem::path& workDir,
                   const std::filesystem::path& programDir);

}  // namespace tarn
