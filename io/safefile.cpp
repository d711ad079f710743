// Safe file reading on POSIX descriptors. The descriptors are used directly (not stdio) so that
// a pipe can be opened without blocking.
#include "io/safefile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <system_error>

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

}  // namespace

std::string SystemErrorText(int err) { return std::generic_category().message(err); }

std::string ReadRegularFile(const std::string& path, std::vector<std::uint8_t>& bytes,
                            std::size_t limit) {
    bytes.clear();
    struct stat st{};
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

}  // namespace tarn
