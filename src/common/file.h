// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A plain binary file with a current position, as the lyric block format is
// defined in terms of one. Errors are sticky: a failed write is remembered so
// that a caller that writes many fields can check once at the end.

#include <cstdint>
#include <string>

namespace melnix {

class File {
public:
    enum class Mode { Read, ReadWrite, Create };  // Create truncates or makes a new file

    File() = default;
    ~File();
    File(File&& other) noexcept;
    File& operator=(File&& other) noexcept;
    File(const File&) = delete;
    File& operator=(const File&) = delete;

    bool open(const std::string& path, Mode mode);
    // A read-write file in memory holding bytes, positioned at 0.
    bool openMemory(const std::string& bytes);
    // Takes ownership of an already open descriptor.
    void adopt(int fd);
    void close();
    bool isOpen() const { return fd_ >= 0; }
    int fd() const { return fd_; }

    // Reads up to n bytes; returns the count read (short at end of file).
    size_t read(void* buf, size_t n);
    // Reads exactly n bytes or reports false.
    bool readExact(void* buf, size_t n);
    bool readU32(uint32_t& v);

    bool write(const void* buf, size_t n);
    bool write(const std::string& s) { return write(s.data(), s.size()); }
    bool writeU32(uint32_t v);

    bool seek(int64_t offset);             // from the start
    bool seekRelative(int64_t delta);
    int64_t position() const;
    int64_t length() const;
    bool truncate(int64_t length);
    bool sync();

    bool failed() const { return failed_; }
    int lastErrno() const { return errno_; }

private:
    void fail(int err);

    int fd_ = -1;
    bool failed_ = false;
    int errno_ = 0;
};

// Whether two names lead to one existing file: the same name, a hard link or
// a symbolic link. An output that is its own input would be destroyed by
// the writing.
bool sameFile(const std::string& a, const std::string& b);

// Reads a whole file into memory, refusing files larger than maxBytes.
bool readWholeFile(const std::string& path, std::string& out, int64_t maxBytes);

}  // namespace melnix
