// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/linux/elf_version.h"

#include <bit>
#include <cerrno>
#include <cstring>
#include <elf.h>
#include <fcntl.h>
#include <string_view>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {

namespace {

// Reads byte ranges of a file, refusing any range that does not lie wholly inside it. Plain
// system reads: a stream would bring the C++ library's locales into memory for these few reads.
class FileRanges {
public:
    explicit FileRanges(const char* path) : fd_(::open(path, O_RDONLY | O_CLOEXEC)) {
        struct stat info {};
        if (fd_ >= 0 && ::fstat(fd_, &info) == 0 && info.st_size > 0) {
            size_ = static_cast<std::uint64_t>(info.st_size);
        }
    }
    ~FileRanges() {
        if (fd_ >= 0) {
            ::close(fd_);
        }
    }
    FileRanges(const FileRanges&) = delete;
    FileRanges& operator=(const FileRanges&) = delete;

    std::uint64_t size() const { return size_; }

    bool contains(std::uint64_t offset, std::uint64_t length) const {
        return offset <= size_ && length <= size_ - offset;
    }

    bool read(std::uint64_t offset, std::uint64_t length, void* out) const {
        if (!contains(offset, length)) {
            return false;
        }
        auto* bytes = static_cast<char*>(out);
        while (length > 0) {
            const ssize_t n = ::pread(fd_, bytes, length, static_cast<off_t>(offset));
            if (n < 0 && errno == EINTR) {
                continue;
            }
            if (n <= 0) {
                return false;
            }
            bytes += n;
            offset += static_cast<std::uint64_t>(n);
            length -= static_cast<std::uint64_t>(n);
        }
        return true;
    }

private:
    int fd_;
    std::uint64_t size_ = 0;
};

// The section headers of one ELF class, read in the host's byte order.
template <typename Ehdr, typename Shdr> class SectionTable {
public:
    explicit SectionTable(FileRanges& file) : file_(file) {}

    std::optional<std::vector<BYTE>> find(std::string_view name) {
        const auto names = namesSection();
        if (!names) {
            return std::nullopt;
        }
        for (std::uint64_t index = 1; index < count_; ++index) {
            const auto candidate = section(index);
            if (!candidate) {
                return std::nullopt;
            }
            if (isNamed(*names, *candidate, name)) {
                return bytes(*candidate);
            }
        }
        return std::nullopt;
    }

private:
    // Reads the file header; the entry of the section names, or nothing when it is malformed.
    std::optional<Shdr> namesSection() {
        Ehdr header;
        if (!file_.read(0, sizeof header, &header) || header.e_shoff == 0 ||
            header.e_shentsize != sizeof(Shdr) || header.e_shoff > file_.size()) {
            return std::nullopt;
        }
        offset_ = header.e_shoff;
        // Section 0 holds the count and the names' index when they do not fit the header.
        const auto first = section(0);
        if (!first) {
            return std::nullopt;
        }
        count_ = header.e_shnum != 0 ? header.e_shnum : first->sh_size;
        const std::uint64_t index =
            header.e_shstrndx != SHN_XINDEX ? header.e_shstrndx : first->sh_link;
        const auto names = index < count_ ? section(index) : std::nullopt;
        return names && holdsBytes(*names) ? names : std::nullopt;
    }

    std::optional<Shdr> section(std::uint64_t index) {
        Shdr entry;
        if (index > file_.size() / sizeof(Shdr) ||
            !file_.read(offset_ + index * sizeof(Shdr), sizeof entry, &entry)) {
            return std::nullopt;
        }
        return entry;
    }

    bool holdsBytes(const Shdr& entry) const {
        return entry.sh_type != SHT_NOBITS && file_.contains(entry.sh_offset, entry.sh_size);
    }

    bool isNamed(const Shdr& names, const Shdr& entry, std::string_view name) {
        std::vector<char> stored(name.size() + 1);
        return entry.sh_name <= names.sh_size && stored.size() <= names.sh_size - entry.sh_name &&
               file_.read(names.sh_offset + entry.sh_name, stored.size(), stored.data()) &&
               stored.back() == '\0' && std::string_view(stored.data(), name.size()) == name;
    }

    std::optional<std::vector<BYTE>> bytes(const Shdr& entry) {
        if (!holdsBytes(entry)) {
            return std::nullopt;
        }
        std::vector<BYTE> data(entry.sh_size);
        if (!data.empty() && !file_.read(entry.sh_offset, data.size(), data.data())) {
            return std::nullopt;
        }
        return data;
    }

    FileRanges& file_;
    std::uint64_t offset_ = 0;
    std::uint64_t count_ = 0;
};

} // namespace

std::optional<std::vector<BYTE>> readElfVersionSection(const char* path) {
    FileRanges file(path);
    unsigned char ident[EI_NIDENT];
    constexpr unsigned char hostData =
        std::endian::native == std::endian::little ? ELFDATA2LSB : ELFDATA2MSB;
    if (!file.read(0, sizeof ident, ident) || std::memcmp(ident, ELFMAG, SELFMAG) != 0 ||
        ident[EI_DATA] != hostData) {
        return std::nullopt;
    }
    if (ident[EI_CLASS] == ELFCLASS64) {
        return SectionTable<Elf64_Ehdr, Elf64_Shdr>(file).find(kVersionSectionName);
    }
    if (ident[EI_CLASS] == ELFCLASS32) {
        return SectionTable<Elf32_Ehdr, Elf32_Shdr>(file).find(kVersionSectionName);
    }
    return std::nullopt;
}

} // namespace platform
