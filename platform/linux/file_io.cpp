#include "platform/file_io.h"

#include "platform/failure.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {

namespace {

// Closes its descriptor whatever happens, so that no error leaves a file open.
class Descriptor {
public:
    explicit Descriptor(int fd) : fd_(fd) {}
    ~Descriptor() {
        if (fd_ >= 0) {
            ::close(fd_);
        }
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;

    int get() const { return fd_; }
    // Closes now and reports a failed close, which may be a delayed write error.
    void close() {
        const int fd = fd_;
        fd_ = -1;
        if (::close(fd) != 0) {
            throw IoError::fromErrno(errno);
        }
    }

private:
    int fd_;
};

int openOrThrow(const std::string& name, int flags, mode_t mode = 0) {
    int fd;
    do {
        fd = ::open(name.c_str(), flags | O_CLOEXEC, mode);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0) {
        throw IoError::fromErrno(errno);
    }
    return fd;
}

void writeAll(int fd, const std::string& bytes) {
    std::size_t written = 0;
    while (written < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + written, bytes.size() - written);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n < 0) {
            throw IoError::fromErrno(errno);
        }
        written += static_cast<std::size_t>(n);
    }
}

std::string directoryOf(const std::string& name) {
    const auto slash = name.rfind('/');
    return slash == std::string::npos ? "." : slash == 0 ? "/" : name.substr(0, slash);
}

// A new file's mode: the old file's when there is one, so a rewrite keeps its permissions.
mode_t modeFor(const std::string& name) {
    struct stat old {};
    return ::stat(name.c_str(), &old) == 0 ? (old.st_mode & 07777) : 0666;
}

// Writes the temporary file completely and durably; it is removed again on any failure.
void writeTemporary(const std::string& temporary, const std::string& bytes, mode_t mode) {
    try {
        Descriptor file(openOrThrow(temporary, O_WRONLY | O_CREAT | O_TRUNC, mode));
        writeAll(file.get(), bytes);
        if (::fsync(file.get()) != 0) {
            throw IoError::fromErrno(errno);
        }
        file.close();
    } catch (...) {
        ::unlink(temporary.c_str());
        throw;
    }
}

} // namespace

bool fileExists(const std::string& name) {
    struct stat info {};
    return ::stat(name.c_str(), &info) == 0 && !S_ISDIR(info.st_mode);
}

std::string readFile(const std::string& name) {
    Descriptor file(openOrThrow(name, O_RDONLY));
    std::string bytes;
    char chunk[4096];
    for (;;) {
        const ssize_t n = ::read(file.get(), chunk, sizeof chunk);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n < 0) {
            throw IoError::fromErrno(errno);
        }
        if (n == 0) {
            break;
        }
        bytes.append(chunk, static_cast<std::size_t>(n));
    }
    file.close();
    return bytes;
}

bool removeFile(const std::string& name) {
    return ::unlink(name.c_str()) == 0;
}

void renameFile(const std::string& from, const std::string& to) {
    if (::rename(from.c_str(), to.c_str()) != 0) {
        throw IoError::fromErrno(errno);
    }
}

// The descriptor stays open, and the lock held, for the rest of the process's life.
bool lockForLife(const std::string& name) {
    const int fd = ::open(name.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0666);
    if (fd < 0) {
        return true; // no lock file can be made here: nothing to share it with either
    }
    if (::flock(fd, LOCK_EX | LOCK_NB) == 0) {
        return true;
    }
    const int error = errno;
    ::close(fd);
    return error != EWOULDBLOCK;
}

void replaceFile(const std::string& name, const std::string& bytes) {
    // One fixed name: a rewrite cut short by a crash leaves at most this file, replaced by the
    // next.
    const std::string temporary = name + ".tmp";
    writeTemporary(temporary, bytes, modeFor(name));
    if (::rename(temporary.c_str(), name.c_str()) != 0) {
        const int error = errno;
        ::unlink(temporary.c_str());
        throw IoError::fromErrno(error);
    }
    // The rename itself reaches the disk with the directory.
    const int directory = ::open(directoryOf(name).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (directory >= 0) {
        ::fsync(directory);
        ::close(directory);
    }
}

} // namespace platform
