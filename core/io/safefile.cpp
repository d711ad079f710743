// Safe file reading and writing on POSIX descriptors. The descriptors are used directly (not
// stdio) so that a pipe can be opened without blocking, the temporary file can be synced, and
// every failure keeps its errno.
#include "core/io/safefile.h"

#include <fcntl.h>
#include <locale.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <random>

namespace tarn {

namespace {

// Closes a descriptor when it goes out of scope (a read that gives up half-way).
class Descriptor {
public:
    explicit Descriptor(int fd) : fd_(fd) {}
    ~Descriptor() {
        if (fd_ >= 0) ::close(fd_);
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    int get() const { return fd_; }

private:
    int fd_;
};

// The reason a path that exists cannot be read or replaced as a file, or "" for a regular file.
std::string KindProblem(const struct stat& st) {
    if (S_ISDIR(st.st_mode)) return SystemErrorText(EISDIR);
    if (!S_ISREG(st.st_mode)) return kNotRegularFile;
    return "";
}

// What the link at path says, for a message about a link that leads nowhere.
std::string LinkText(const std::string& path) {
    std::string text(4096, '\0');
    const ssize_t n = ::readlink(path.c_str(), text.data(), text.size());
    if (n <= 0) return path;
    text.resize(static_cast<std::size_t>(n));
    return text;
}

bool WriteAll(int fd, std::span<const std::uint8_t> bytes, int& err) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0) {
            if (errno == EINTR) continue;
            err = errno;
            return false;
        }
        if (n == 0) {
            err = EIO;
            return false;
        }
        done += static_cast<std::size_t>(n);
    }
    return true;
}

// Makes the folder's record of a rename durable. A folder that cannot be opened for reading, or
// a file system that cannot sync folders (EINVAL), is not a failure of the save: the file itself
// is on disk by then.
std::string SyncFolder(const std::string& file) {
    std::string folder = std::filesystem::path(file).parent_path().string();
    if (folder.empty()) folder = ".";
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return "";
    std::string error;
    if (::fsync(fd) != 0 && errno != EINVAL) error = SystemErrorText(errno);
    ::close(fd);
    return error;
}

// Whether the existing file st at path is one its owner marked as not to be written: no write
// permission for this process, or no write bit at all (the superuser may write any file, but a
// file marked read-only is not replaced behind the back of whoever marked it). The folder's
// permission alone would let the rename replace it.
bool ReadOnly(const std::string& path, const struct stat& st) {
    if ((st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0) return true;
    return ::faccessat(AT_FDCWD, path.c_str(), W_OK, AT_EACCESS) != 0 && errno == EACCES;
}

// Creates a new temporary file beside target, named target + ".part" + six random letters and
// digits, with O_EXCL: never a file that is already there. A leftover of an earlier save that
// was killed half-way (or anyone else's file of such a name) neither blocks the save nor is
// touched. Returns the descriptor (and the name in temp), or -1 with errno set.
int CreateTemporary(const std::string& target, std::string& temp) {
    static constexpr char kLetters[] = "abcdefghijklmnopqrstuvwxyz0123456789";
    std::random_device entropy;
    std::uniform_int_distribution<std::size_t> pick(0, sizeof kLetters - 2);
    std::mt19937_64 random((std::uint64_t{entropy()} << 32) ^ entropy());
    // 36^6 names: a hundred names taken one after another only happen by design.
    for (int attempt = 0; attempt < 100; ++attempt) {
        temp = target + ".part";
        for (int k = 0; k < 6; ++k) temp += kLetters[pick(random)];
        const int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0 || errno != EEXIST) return fd;
    }
    errno = EEXIST;
    return -1;
}

}  // namespace

std::string SystemErrorText(int err) {
    // strerror and std::error_code::message follow the process locale (LC_MESSAGES); the
    // program's messages are English, so the text is taken under the C locale.
    static const locale_t english = ::newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(0));
    if (english == static_cast<locale_t>(0)) return "error " + std::to_string(err);
    return ::strerror_l(err, english);
}

std::string ReadRegularFile(const std::string& path, std::vector<std::uint8_t>& bytes,
                            std::size_t limit) {
    bytes.clear();
    struct stat st {};
    // A special file is refused before it is opened: opening a device may do something.
    if (::stat(path.c_str(), &st) != 0) return SystemErrorText(errno);
    if (std::string why = KindProblem(st); !why.empty()) return why;
    // O_NONBLOCK: should the name have become a pipe meanwhile, the open still returns at once,
    // and the check of what was opened refuses it.
    const Descriptor fd(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
    if (fd.get() < 0) return SystemErrorText(errno);
    if (::fstat(fd.get(), &st) != 0) return SystemErrorText(errno);
    if (std::string why = KindProblem(st); !why.empty()) return why;

    constexpr std::size_t kChunk = 64 * 1024;
    while (bytes.size() < limit) {
        const std::size_t have = bytes.size();
        const std::size_t want = std::min(kChunk, limit - have);
        bytes.resize(have + want);
        const ssize_t n = ::read(fd.get(), bytes.data() + have, want);
        if (n < 0) {
            const int err = errno;
            bytes.resize(have);
            if (err == EINTR) continue;
            return SystemErrorText(err);
        }
        bytes.resize(have + static_cast<std::size_t>(n));
        if (n == 0) break;
    }
    return "";
}

std::string WriteFileSafely(const std::string& path, std::span<const std::uint8_t> bytes) {
    // 1. The file to replace: a symbolic link is followed to the file it leads to, so the link
    //    stays a link and the temporary file lies beside the target (the rename must not cross
    //    file systems).
    std::string target = path;
    struct stat st {};
    if (::lstat(path.c_str(), &st) == 0 && S_ISLNK(st.st_mode)) {
        char* real = ::realpath(path.c_str(), nullptr);
        if (real == nullptr) {
            const int err = errno;
            if (err == ENOENT)
                return "it is a link to " + LinkText(path) + ", which does not exist";
            return SystemErrorText(err);
        }
        target = real;
        std::free(real);
    }
    // 2. Only a regular file is replaced; a new file is fine.
    const bool exists = ::stat(target.c_str(), &st) == 0;
    if (!exists && errno != ENOENT) return SystemErrorText(errno);
    if (exists) {
        if (std::string why = KindProblem(st); !why.empty()) return why;
        // Refused as a read-only folder is: the rename could replace it, but its owner said no.
        if (ReadOnly(target, st)) return kReadOnlyFile;
    }

    // 3. A new temporary file beside the target, never one that is already there.
    std::string temp;
    int fd = CreateTemporary(target, temp);
    if (fd < 0) return SystemErrorText(errno);
    auto fail = [&](int err) {
        if (fd >= 0) ::close(fd);
        ::unlink(temp.c_str());
        return SystemErrorText(err);
    };
    // An existing file keeps its permissions; where they cannot be set, the new file has the
    // usual ones.
    if (exists) ::fchmod(fd, st.st_mode & 07777);

    // 4. Every byte, then the sync: only a file that is on disk may take the name.
    int err = 0;
    if (!WriteAll(fd, bytes, err)) return fail(err);
    if (::fsync(fd) != 0) return fail(errno);
    const int closed = ::close(fd);
    fd = -1;
    if (closed != 0) return fail(errno);

    // 5. The rename replaces the old file in one step; the folder's sync makes it durable.
    if (::rename(temp.c_str(), target.c_str()) != 0) return fail(errno);
    return SyncFolder(target);
}

}  // namespace tarn
