// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/file.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include "common/byte_order.h"

namespace melnix {

File::~File() { close(); }

File::File(File&& other) noexcept
    : fd_(other.fd_), failed_(other.failed_), errno_(other.errno_) {
    other.fd_ = -1;
}

File& File::operator=(File&& other) noexcept {
    if (this != &other) {
        close();
        fd_ = other.fd_;
        failed_ = other.failed_;
        errno_ = other.errno_;
        other.fd_ = -1;
    }
    return *this;
}

bool File::open(const std::string& path, Mode mode) {
    close();
    failed_ = false;
    errno_ = 0;
    int flags = O_CLOEXEC;
    switch (mode) {
        case Mode::Read: flags |= O_RDONLY; break;
        case Mode::ReadWrite: flags |= O_RDWR; break;
        case Mode::Create: flags |= O_RDWR | O_CREAT | O_TRUNC; break;
    }
    do {
        fd_ = ::open(path.c_str(), flags, 0644);
    } while (fd_ < 0 && errno == EINTR);
    if (fd_ < 0) {
        errno_ = errno;
        return false;
    }
    struct stat st {};
    if (::fstat(fd_, &st) == 0 && S_ISDIR(st.st_mode)) {
        ::close(fd_);
        fd_ = -1;
        errno_ = EISDIR;
        return false;
    }
    return true;
}

bool File::openMemory(const std::string& bytes) {
    close();
    failed_ = false;
    errno_ = 0;
    int fd = ::memfd_create("melnix-text", MFD_CLOEXEC);
    if (fd < 0) {
        errno_ = errno;
        return false;
    }
    fd_ = fd;
    if (!write(bytes.data(), bytes.size()) || !seek(0)) {
        close();
        return false;
    }
    return true;
}

void File::adopt(int fd) {
    close();
    fd_ = fd;
    failed_ = false;
    errno_ = 0;
}

void File::close() {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
}

void File::fail(int err) {
    failed_ = true;
    errno_ = err;
}

size_t File::read(void* buf, size_t n) {
    if (fd_ < 0) return 0;
    auto* p = static_cast<char*>(buf);
    size_t done = 0;
    while (done < n) {
        ssize_t r = ::read(fd_, p + done, n - done);
        if (r < 0) {
            if (errno == EINTR) continue;
            fail(errno);
            break;
        }
        if (r == 0) break;
        done += static_cast<size_t>(r);
    }
    return done;
}

bool File::readExact(void* buf, size_t n) { return read(buf, n) == n; }

bool File::readU32(uint32_t& v) {
    unsigned char b[4];
    if (!readExact(b, 4)) return false;
    v = readLe32(b);
    return true;
}

bool File::write(const void* buf, size_t n) {
    if (fd_ < 0) {
        fail(EBADF);
        return false;
    }
    const auto* p = static_cast<const char*>(buf);
    size_t done = 0;
    while (done < n) {
        ssize_t r = ::write(fd_, p + done, n - done);
        if (r < 0) {
            if (errno == EINTR) continue;
            fail(errno);
            return false;
        }
        done += static_cast<size_t>(r);
    }
    return true;
}

bool File::writeU32(uint32_t v) {
    uint8_t b[4];
    writeLe32(b, v);
    return write(b, 4);
}

bool File::seek(int64_t offset) {
    if (fd_ < 0 || offset < 0) return false;
    return ::lseek(fd_, static_cast<off_t>(offset), SEEK_SET) >= 0;
}

bool File::seekRelative(int64_t delta) {
    if (fd_ < 0) return false;
    int64_t target = position() + delta;
    return target >= 0 && seek(target);
}

int64_t File::position() const {
    if (fd_ < 0) return -1;
    return ::lseek(fd_, 0, SEEK_CUR);
}

int64_t File::length() const {
    struct stat st {};
    if (fd_ < 0 || ::fstat(fd_, &st) != 0) return -1;
    return st.st_size;
}

bool File::truncate(int64_t len) {
    if (fd_ < 0 || ::ftruncate(fd_, static_cast<off_t>(len)) != 0) {
        fail(errno);
        return false;
    }
    return true;
}

bool File::sync() {
    if (fd_ < 0 || ::fsync(fd_) != 0) {
        fail(errno);
        return false;
    }
    return true;
}

bool readWholeFile(const std::string& path, std::string& out, int64_t maxBytes) {
    File f;
    if (!f.open(path, File::Mode::Read)) return false;
    int64_t len = f.length();
    if (len < 0 || len > maxBytes) return false;
    out.resize(static_cast<size_t>(len));
    return f.readExact(out.data(), out.size());
}

}  // namespace melnix

namespace melnix {

bool sameFile(const std::string& a, const std::string& b) {
    struct stat sa {}, sb {};
    return ::stat(a.c_str(), &sa) == 0 && ::stat(b.c_str(), &sb) == 0 && sa.st_dev == sb.st_dev &&
           sa.st_ino == sb.st_ino;
}

}  // namespace melnix
