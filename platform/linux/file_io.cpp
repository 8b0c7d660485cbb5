// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/file_io.h"

#include "platform/failure.h"

#include <cerrno>
#include <climits>
#include <cstdio>
#include <fcntl.h>
#include <optional>
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

// The old file's mode, which a rewrite keeps; none for a new file, made as the umask says.
std::optional<mode_t> oldMode(const std::string& name) {
    struct stat old {};
    return ::stat(name.c_str(), &old) == 0 ? std::optional<mode_t>(old.st_mode & 07777)
                                           : std::nullopt;
}

// The temporary file, new: a file or a link planted under its name is removed (the link itself,
// never its target), and one planted again meanwhile makes the rewrite fail.
int createTemporary(const std::string& temporary, mode_t mode) {
    const int flags = O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC;
    int fd = ::open(temporary.c_str(), flags, mode);
    if (fd < 0 && errno == EEXIST && ::unlink(temporary.c_str()) == 0) {
        fd = ::open(temporary.c_str(), flags, mode);
    }
    if (fd < 0) {
        throw IoError::fromErrno(errno);
    }
    return fd;
}

// Writes the temporary file completely and durably; it is removed again on any failure.
void writeTemporary(const std::string& temporary, const std::string& bytes,
                    std::optional<mode_t> mode) {
    Descriptor file(createTemporary(temporary, mode.value_or(0666)));
    try {
        // The old file's mode whole, not cut by the umask.
        if (mode && ::fchmod(file.get(), *mode) != 0) {
            throw IoError::fromErrno(errno);
        }
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

// The file a rewrite replaces: the name itself, or the target of the link it is, so that the
// link stays.
std::string replacedFile(const std::string& name) {
    struct stat info {};
    if (::lstat(name.c_str(), &info) != 0 || !S_ISLNK(info.st_mode)) {
        return name;
    }
    std::string target(PATH_MAX, '\0');
    const ssize_t length = ::readlink(name.c_str(), target.data(), target.size());
    if (length < 0 || static_cast<std::size_t>(length) >= target.size()) {
        throw IoError::fromErrno(length < 0 ? errno : ENAMETOOLONG);
    }
    target.resize(static_cast<std::size_t>(length));
    return target.front() == '/' ? target : directoryOf(name) + '/' + target;
}

void checkRegular(int fd) {
    struct stat info {};
    if (::fstat(fd, &info) != 0) {
        throw IoError::fromErrno(errno);
    }
    if (!S_ISREG(info.st_mode)) {
        throw UnusableFile("ce n'est pas un fichier ordinaire");
    }
}

} // namespace

bool fileExists(const std::string& name) {
    struct stat info {};
    return ::stat(name.c_str(), &info) == 0;
}

// Opened without waiting, so that a FIFO is refused rather than waited on.
std::string readFile(const std::string& name, std::size_t limit) {
    Descriptor file(openOrThrow(name, O_RDONLY | O_NONBLOCK));
    checkRegular(file.get());
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
        if (bytes.size() > limit) {
            throw UnusableFile("il fait plus de " + std::to_string(limit) + " octets");
        }
    }
    file.close();
    return bytes;
}

std::string readSome(int descriptor, std::size_t limit) {
    std::string bytes(limit, '\0');
    ssize_t n = 0;
    do {
        n = ::read(descriptor, bytes.data(), limit);
    } while (n < 0 && errno == EINTR);
    if (n < 0) {
        throw IoError::fromErrno(errno);
    }
    bytes.resize(static_cast<std::size_t>(n));
    return bytes;
}

bool removeFile(const std::string& name) {
    return ::unlink(name.c_str()) == 0;
}

void renameFile(const std::string& from, const std::string& to) {
    if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) {
        return;
    }
    // Some file systems (NFS among them) cannot be asked; the check before is the best they allow.
    if (errno != EINVAL || fileExists(to) || ::rename(from.c_str(), to.c_str()) != 0) {
        throw IoError::fromErrno(errno == EINVAL ? EEXIST : errno);
    }
}

// Read-only is enough for the lock, so the file's mode does not matter; a link, a directory or a
// FIFO under its name makes it impossible rather than bypassed.
Lock lockForLife(const std::string& name) {
    const int fd =
        ::open(name.c_str(), O_RDONLY | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC, 0666);
    if (fd < 0) {
        return Lock::Impossible;
    }
    struct stat info {};
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        ::close(fd);
        return Lock::Impossible;
    }
    if (::flock(fd, LOCK_EX | LOCK_NB) == 0) {
        return Lock::Taken; // the descriptor stays open, and the lock held, for life
    }
    const int error = errno;
    ::close(fd);
    return error == EWOULDBLOCK ? Lock::HeldElsewhere : Lock::Impossible;
}

void replaceFile(const std::string& name, const std::string& bytes) {
    const std::string target = replacedFile(name);
    // One fixed name: a rewrite cut short by a crash leaves at most this file, replaced by the
    // next.
    const std::string temporary = target + ".tmp";
    writeTemporary(temporary, bytes, oldMode(target));
    if (::rename(temporary.c_str(), target.c_str()) != 0) {
        const int error = errno;
        ::unlink(temporary.c_str());
        throw IoError::fromErrno(error);
    }
    // The rename itself reaches the disk with the directory.
    const int directory = ::open(directoryOf(target).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (directory >= 0) {
        ::fsync(directory);
        ::close(directory);
    }
}

} // namespace platform
