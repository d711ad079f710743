// A named pipe for the tests of code that must never wait on one. When a reader is expected to
// refuse the pipe without opening it, a writer stands ready on the other end: should the code
// open the pipe after all, that open returns (and the read finds no bytes), so the fault fails
// the test instead of hanging it.
#pragma once

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <thread>

namespace tarn::test {

class Fifo {
public:
    enum class Writer { None, Ready };

    explicit Fifo(std::filesystem::path path, Writer writer = Writer::None)
        : path_(std::move(path)) {
        made_ = ::mkfifo(path_.c_str(), 0600) == 0;
        if (made_ && writer == Writer::Ready)
            writer_ = std::thread([p = path_] {
                const int fd = ::open(p.c_str(), O_WRONLY | O_CLOEXEC);
                if (fd >= 0) ::close(fd);
            });
    }
    ~Fifo() {
        if (!writer_.joinable()) return;
        // A reader of our own lets the writer's open return when nobody else opened the pipe;
        // it is closed only after the writer is done.
        const int fd = ::open(path_.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
        writer_.join();
        if (fd >= 0) ::close(fd);
    }
    Fifo(const Fifo&) = delete;
    Fifo& operator=(const Fifo&) = delete;

    bool made() const { return made_; }
    const std::filesystem::path& path() const { return path_; }
    std::string string() const { return path_.string(); }

private:
    std::filesystem::path path_;
    bool made_ = false;
    std::thread writer_;
};

}  // namespace tarn::test
