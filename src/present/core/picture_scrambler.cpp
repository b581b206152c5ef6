// SPDX-License-Identifier: GPL-3.0-or-later
#include "present/core/picture_scrambler.h"

#include <algorithm>
#include <random>
#include <sys/stat.h>
#include <unistd.h>

#include "common/file.h"
#include "common/safe_save.h"
#include "present/core/pik_file.h"

namespace melnix {
namespace {

// The stored length has room for more, but a reader only takes its low byte.
constexpr size_t kMaxStoredExtension = 255;

uint32_t randomSalt() {
    thread_local std::mt19937 engine{std::random_device{}()};
    return static_cast<uint32_t>(engine());
}

// The new file appears whole or not at all, and never in place of another.
bool writeNewFile(const std::string& path, const std::string& bytes, unsigned mode) {
    SafeSave save;
    if (!save.begin(path)) return false;
    save.file().write(bytes);
    return save.commitNew(mode);
}

// A read-only file is made writable first, as a user would have to.
bool removeFile(const std::string& path) {
    struct stat st {};
    if (::lstat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode) && !(st.st_mode & S_IWUSR))
        ::chmod(path.c_str(), (st.st_mode & 07777) | S_IWUSR);
    return ::unlink(path.c_str()) == 0;
}

// The permissions of the file it came from, always readable and writable by
// its owner so that it can be turned back later.
bool regularFileMode(const std::string& path, unsigned& mode) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return false;
    mode = (st.st_mode & 0777) | S_IRUSR | S_IWUSR;
    return true;
}

}  // namespace

bool KnownPasswords::add(std::string password) {
    if (password.empty()) return false;
    std::lock_guard lock(mutex_);
    if (std::find(passwords_.begin(), passwords_.end(), password) != passwords_.end()) return false;
    passwords_.push_back(std::move(password));
    return true;
}

std::vector<std::string> KnownPasswords::list() const {
    std::lock_guard lock(mutex_);
    return passwords_;
}

PictureScrambler::PictureScrambler(PasswordPrompt prompt, SaltSource salt)
    : prompt_(std::move(prompt)), salt_(salt ? std::move(salt) : SaltSource(randomSalt)) {}

std::string PictureScrambler::scramblePicture(const std::string& path, std::string_view password) {
    const std::string key = normalisePikPassword(password);
    if (key.empty() || isPikPath(path)) return {};
    const std::string extension = plainExtensionOf(path);
    unsigned mode = 0;
    std::string plain;
    if (extension.size() > kMaxStoredExtension || !regularFileMode(path, mode) ||
        !readWholeFile(path, plain, kPikMaxFileBytes))
        return {};

    const uint32_t salt = salt_();
    const PikKey k = pikKey(key, salt);
    std::string bytes = pikHeaderBytes(extension, salt, k.check);
    const size_t dataAt = bytes.size();
    bytes += plain;
    pikTransform(bytes.data() + dataAt, plain.size(), k);

    const std::string pikPath = pikPathFor(path);
    if (!writeNewFile(pikPath, bytes, mode)) return {};
    // A plain copy left behind would defeat the point; undo rather than
    // report a protection that is not there.
    if (!removeFile(path)) {
        ::unlink(pikPath.c_str());
        return {};
    }
    known_.add(key);
    return pikPath;
}

std::string PictureScrambler::unscramblePicture(const std::string& path, std::string* out, bool askFirst) {
    std::string bytes;
    unsigned mode = 0;
    if (!regularFileMode(path, mode) || !readWholeFile(path, bytes, kPikMaxFileBytes)) return {};
    const std::optional<PikHeader> header = parsePikHeader(bytes);
    if (!header) return {};
    const std::string restored = restoredPathFor(path, header->extension);
    // Checked before asking: a file that cannot be restored is not worth a
    // password.
    if (!out && restored == path) return {};

    const std::optional<std::string> password = passwordFor(path, header->salt, header->check, askFirst);
    if (!password) return {};
    bytes.erase(0, header->dataOffset);
    pikTransform(bytes.data(), bytes.size(), pikKey(*password, header->salt));
    if (out) {
        *out = std::move(bytes);
        return restored;
    }

    struct stat st {};
    if (::lstat(restored.c_str(), &st) == 0) {
        // Someone kept the plain picture too: fine when it is this one.
        std::string existing;
        if (!readWholeFile(restored, existing, kPikMaxFileBytes) || existing != bytes) return {};
    } else if (!writeNewFile(restored, bytes, mode)) {
        return {};
    }
    // Should the scrambled file stay, the plain one is there all the same.
    removeFile(path);
    return restored;
}

std::optional<std::string> PictureScrambler::passwordFor(const std::string& path, uint32_t salt, uint16_t check,
                                                         bool askFirst) {
    if (!askFirst) {
        for (const std::string& p : known_.list())
            if (pikKey(p, salt).check == check) return p;
    }
    for (int attempt = 1; mayAsk_ && prompt_; ++attempt) {
        const std::optional<std::string> entered = prompt_(PasswordRequest{path, attempt, kPikPasswordTimeoutMs});
        const std::string p = entered ? normalisePikPassword(*entered) : std::string();
        if (p.empty()) break;
        if (pikKey(p, salt).check == check) {
            known_.add(p);
            return p;
        }
        if (attempt == kPikMaxPasswordAttempts) break;
    }
    mayAsk_ = false;
    return std::nullopt;
}

PikFolderRun::PikFolderRun(PictureScrambler& scrambler, FolderScrambling action, std::string password)
    : scrambler_(scrambler), action_(action), password_(std::move(password)) {}

PikFolderRun::~PikFolderRun() {
    if (action_ == FolderScrambling::Unscramble) scrambler_.setMayAsk(false);
}

std::string PikFolderRun::convert(const std::string& path) {
    std::string done;
    if (action_ == FolderScrambling::Scramble && !isPikPath(path)) {
        done = scrambler_.scramblePicture(path, password_);
    } else if (action_ == FolderScrambling::Unscramble && isPikPath(path)) {
        const bool first = firstUnscramble_;
        firstUnscramble_ = false;
        if (first) scrambler_.setMayAsk(true);
        done = scrambler_.unscramblePicture(path, nullptr, first);
    }
    return done.empty() ? path : done;
}

}  // namespace melnix
