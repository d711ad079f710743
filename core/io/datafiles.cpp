// Finding the data files: the working directory, then the installed data folder.
#include "core/io/datafiles.h"

#include <system_error>

namespace tarn {

namespace fs = std::filesystem;

fs::path InstalledDataDir(const fs::path& programDir) {
    return (programDir / ".." / "share" / "tarn1").lexically_normal();
}

fs::path FindDataFile(std::string_view name, const fs::path& workDir, const fs::path& programDir) {
    std::error_code ec;
    const fs::path local = workDir / fs::path(name);
    if (fs::is_regular_file(local, ec)) return local;
    if (!programDir.empty()) {
        const fs::path installed = InstalledDataDir(programDir) / fs::path(name);
        if (fs::is_regular_file(installed, ec)) return installed;
    }
    return {};
}

fs::path RunningProgramDir() {
    std::error_code ec;
    // The link the kernel keeps to the program file: symbolic links to the program are
    // already followed, so the installed folder is the one beside the real program.
    const fs::path exe = fs::read_symlink("/proc/self/exe", ec);
    return ec ? fs::path() : exe.parent_path();
}

bool ListDataFiles(std::ostream& out, const fs::path& workDir, const fs::path& programDir) {
    bool all = true;
    for (std::string_view name : kDataFileNames) {
        const fs::path found = FindDataFile(name, workDir, programDir);
        out << name << std::string(name.size() < 16 ? 16 - name.size() : 1, ' ');
        if (found.empty()) {
            out << "missing\n";
            all = false;
        } else {
            std::error_code ec;
            const fs::path full = fs::absolute(found, ec);
            out << (ec ? found : full.lexically_normal()).string() << '\n';
        }
    }
    return all;
}

}  // namespace tarn
