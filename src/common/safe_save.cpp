// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/safe_save.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace melnix {
namespace {

std::string folderOf(const std::string& path) {
    size_t slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    if (slash == 0) return "/";
    return path.substr(0, slash);
}

// Follows symbolic links so that a link to a song keeps pointing at it.
std::string resolveTarget(const std::string& path) {
    char buf[PATH_MAX];
    std::string current = path;
    for (int depth = 0; depth < 16; ++depth) {
        ssize_t n = ::readlink(current.c_str(), buf, sizeof buf - 1);
        if (n < 0) return current;
        std::string link(buf, static_cast<size_t>(n));
        current = (!link.empty() && link[0] == '/') ? link : folderOf(current) + "/" + link;
    }
    return current;
}

// Renames without ever replacing an existing to. File systems that lack the
// flag get a hard link, which is as exclusive; those without hard links
// (FAT) a look first, which leaves only a short window.
bool renameNoReplace(const std::string& from, const std::string& to) {
    if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) return true;
    if (errno != EINVAL && errno != ENOSYS && errno != ENOTSUP) return false;
    if (::link(from.c_str(), to.c_str()) == 0) {
        ::unlink(from.c_str());
        return true;
    }
    if (errno == EEXIST) return false;
    struct stat st {};
    if (::lstat(to.c_str(), &st) == 0) {
        errno = EEXIST;
        return false;
    }
    return ::rename(from.c_str(), to.c_str()) == 0;
}

SafeSaveSync gSync = nullptr;

constexpr char kTempMark[] = ".melnix-";
constexpr size_t kTempSuffix = 6;  // mkostemp's XXXXXX

// Whether entry is this program's temporary name: "." + name + kTempMark +
// six characters, for the given name or (name empty) for any.
bool isTempName(const std::string& entry, const std::string& name) {
    constexpr size_t kMarkLength = sizeof kTempMark - 1;
    if (entry.size() < 2 + kMarkLength + kTempSuffix || entry[0] != '.') return false;
    const size_t mark = entry.size() - kTempSuffix - kMarkLength;
    if (entry.compare(mark, kMarkLength, kTempMark) != 0) return false;
    return name.empty() || entry.compare(1, mark - 1, name) == 0;
}

// Temporary files of saves that never finished (a kill, a power cut): only
// this program's names, only the user's own files, and only those no live
// save holds its lock on.
void removeLeftovers(const std::string& folder, const std::string& name) {
    DIR* dir = ::opendir(folder.c_str());
    if (!dir) return;
    while (const dirent* e = ::readdir(dir)) {
        const std::string entry = e->d_name;
        if (!isTempName(entry, name)) continue;
        const std::string path = folder + "/" + entry;
        const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK);
        if (fd < 0) continue;
        struct stat st {};
        if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && st.st_uid == ::geteuid() &&
            ::flock(fd, LOCK_EX | LOCK_NB) == 0)
            ::unlink(path.c_str());
        ::close(fd);
    }
    ::closedir(dir);
}

}  // namespace

void setSafeSaveSyncForTesting(SafeSaveSync sync) { gSync = sync; }

SafeSave::~SafeSave() { abandon(); }

void SafeSave::abandon() {
    file_.close();
    if (!temp_.empty()) ::unlink(temp_.c_str());
    temp_.clear();
}

bool SafeSave::begin(const std::string& target) {
    abandon();
    target_ = resolveTarget(target);
    std::string name = target_.substr(target_.rfind('/') == std::string::npos ? 0 : target_.rfind('/') + 1);
    removeLeftovers(folderOf(target_), name);
    const std::string pattern = folderOf(target_) + "/." + name + kTempMark + "XXXXXX";
    // The lock is held while the save runs (and let go by the system if the
    // program is killed), so that a clean-up can tell a live file from a
    // left-over. One may have removed the file in the moment before the lock:
    // then another name is tried.
    for (int attempt = 0; attempt < 8; ++attempt) {
        std::vector<char> tmpl(pattern.begin(), pattern.end());
        tmpl.push_back('\0');
        const int fd = ::mkostemp(tmpl.data(), O_CLOEXEC);
        if (fd < 0) {
            errno_ = errno;
            return false;
        }
        ::flock(fd, LOCK_EX);
        struct stat opened {}, named {};
        if (::fstat(fd, &opened) != 0 || ::stat(tmpl.data(), &named) != 0 || opened.st_ino != named.st_ino ||
            opened.st_dev != named.st_dev) {
            ::close(fd);
            continue;
        }
        temp_ = tmpl.data();
        file_.adopt(fd);
        return true;
    }
    errno_ = EEXIST;
    return false;
}

void removeSaveLeftoversIn(const std::string& folder) { removeLeftovers(folder, {}); }

bool SafeSave::copyFrom(File& source, int64_t length) {
    if (!source.seek(0)) return false;
    std::vector<char> buf(1 << 20);
    int64_t left = length;
    while (left > 0) {
        size_t chunk = static_cast<size_t>(std::min<int64_t>(left, static_cast<int64_t>(buf.size())));
        if (!source.readExact(buf.data(), chunk)) {
            errno_ = source.lastErrno() ? source.lastErrno() : EIO;
            return false;
        }
        if (!file_.write(buf.data(), chunk)) {
            errno_ = file_.lastErrno();
            return false;
        }
        left -= static_cast<int64_t>(chunk);
    }
    return true;
}

bool SafeSave::commit(unsigned extraModeBits) {
    struct stat st {};
    mode_t mode = 0644;
    bool existed = ::stat(target_.c_str(), &st) == 0;
    if (existed) mode = st.st_mode & 07777;
    if (existed && !temp_.empty() && ::fchown(file_.fd(), st.st_uid, st.st_gid) != 0) {
        // Only root may give a file away; keeping our own ownership is fine.
    }
    return finish(mode | static_cast<mode_t>(extraModeBits), true);
}

bool SafeSave::commitNew(unsigned mode) { return finish(mode, false); }

bool SafeSave::finish(unsigned mode, bool replace) {
    if (temp_.empty()) return false;
    if (file_.failed()) {
        errno_ = file_.lastErrno();
        abandon();
        return false;
    }
    errno = 0;
    const bool synced = gSync ? gSync(file_.fd()) == 0 : file_.sync();
    if (::fchmod(file_.fd(), static_cast<mode_t>(mode)) != 0 || !synced) {
        errno_ = errno ? errno : (file_.lastErrno() ? file_.lastErrno() : EIO);
        abandon();
        return false;
    }
    file_.close();
    if (!(replace ? ::rename(temp_.c_str(), target_.c_str()) == 0 : renameNoReplace(temp_, target_))) {
        errno_ = errno;
        abandon();
        return false;
    }
    temp_.clear();
    // Make the rename itself durable.
    int dir = ::open(folderOf(target_).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir >= 0) {
        ::fsync(dir);
        ::close(dir);
    }
    return true;
}

}  // namespace melnix
