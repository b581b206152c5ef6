// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Helpers for the fuzz entry points: the input as an open file (for readers
// that take a File) or as a path (for readers that open files themselves).

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <sys/mman.h>
#include <unistd.h>

#include "common/file.h"

namespace melnix::fuzz {

inline std::string_view bytesOf(const uint8_t* data, size_t size) {
    return {reinterpret_cast<const char*>(data), size};
}

// A memory file holding the bytes, open under a path for as long as it lives.
class MemoryPath {
public:
    explicit MemoryPath(std::string_view bytes) {
        fd_ = ::memfd_create("melnix-fuzz", MFD_CLOEXEC);
        size_t done = 0;
        while (fd_ >= 0 && done < bytes.size()) {
            const ssize_t n = ::write(fd_, bytes.data() + done, bytes.size() - done);
            if (n <= 0) break;
            done += static_cast<size_t>(n);
        }
        path_ = "/proc/self/fd/" + std::to_string(fd_);
    }
    ~MemoryPath() {
        if (fd_ >= 0) ::close(fd_);
    }
    MemoryPath(const MemoryPath&) = delete;
    MemoryPath& operator=(const MemoryPath&) = delete;
    const std::string& path() const { return path_; }

private:
    int fd_ = -1;
    std::string path_;
};

inline File memoryFile(std::string_view bytes) {
    File f;
    f.openMemory(std::string(bytes));
    return f;
}

}  // namespace melnix::fuzz
