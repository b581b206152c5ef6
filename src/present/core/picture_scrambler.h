// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Pictures protected with a password: each one rewritten as a ".PIK" file
// that the show unscrambles in memory, and turned back into plain files on
// request. The passwords met during a run are remembered (never stored), so
// that the user is asked at most once per password, and only while a caller
// allows it: pictures loaded in the background must never open a window.

#include <atomic>
#include <cstdint>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace melnix {

// Wrong passwords accepted in one go before the prompt gives up.
constexpr int kPikMaxPasswordAttempts = 5;
// How long the unscrambling prompt waits for the first key press.
constexpr int kPikPasswordTimeoutMs = 5000;
// Larger files are not pictures anyone shows; refusing them keeps a stray
// file from filling the memory.
constexpr int64_t kPikMaxFileBytes = int64_t{512} << 20;

// The passwords that opened a file, were entered for scrambling or were given
// in advance. Shared between the user-interface thread and the picture
// loader, hence the lock.
class KnownPasswords {
public:
    // False when password is empty or already in the list (exact comparison).
    bool add(std::string password);
    std::vector<std::string> list() const;

private:
    mutable std::mutex mutex_;
    std::vector<std::string> passwords_;
};

struct PasswordRequest {
    std::string path;  // the scrambled file
    int attempt = 1;   // from 2 on, the previous password was wrong
    int timeoutMs = kPikPasswordTimeoutMs;
};
// The password entered (GBK bytes), or nothing after cancel or timeout.
using PasswordPrompt = std::function<std::optional<std::string>(const PasswordRequest&)>;
// Where the salt of a new file comes from.
using SaltSource = std::function<uint32_t()>;

class PictureScrambler {
public:
    // Without a salt source the salts are random.
    explicit PictureScrambler(PasswordPrompt prompt = {}, SaltSource salt = {});

    // Set before the first unscrambling; the prompt runs on the thread that
    // calls unscramblePicture, and only while prompting is allowed.
    void setPrompt(PasswordPrompt prompt) { prompt_ = std::move(prompt); }

    KnownPasswords& knownPasswords() { return known_; }
    const KnownPasswords& knownPasswords() const { return known_; }

    // The may-ask flag: while it is clear, unscrambling tries the known
    // passwords only. A cancelled, timed-out or fruitless prompt clears it.
    void setMayAsk(bool mayAsk) { mayAsk_ = mayAsk; }
    bool mayAsk() const { return mayAsk_; }

    // Writes the ".PIK" file beside the plain picture, then deletes the plain
    // one; the password joins the known ones. Returns the ".PIK" path, or an
    // empty string when nothing changed: the plain picture stays whenever the
    // scrambled file could not be written whole or a file of its name exists.
    std::string scramblePicture(const std::string& path, std::string_view password);

    // Unscrambles a ".PIK" file. Unless askFirst is set the known passwords
    // are tried first; then, while prompting is allowed, the user is asked up
    // to five times. With out, the plain bytes go there (memory mode);
    // without it they go into a new file with the restored name and the
    // ".PIK" file is deleted (file mode; an existing different file of that
    // name is never replaced). Returns the restored name, or an empty string
    // on failure, which leaves the ".PIK" file as it was.
    std::string unscramblePicture(const std::string& path, std::string* out, bool askFirst = false);

private:
    std::optional<std::string> passwordFor(const std::string& path, uint32_t salt, uint16_t check, bool askFirst);

    PasswordPrompt prompt_;
    SaltSource salt_;
    KnownPasswords known_;
    std::atomic<bool> mayAsk_{false};
};

// Allows prompting for a stretch of work (the show's first picture, the
// first file of a folder run) and forbids it again at the end.
class MayAskScope {
public:
    explicit MayAskScope(PictureScrambler& scrambler) : scrambler_(scrambler) { scrambler_.setMayAsk(true); }
    ~MayAskScope() { scrambler_.setMayAsk(false); }
    MayAskScope(const MayAskScope&) = delete;
    MayAskScope& operator=(const MayAskScope&) = delete;

private:
    PictureScrambler& scrambler_;
};

enum class FolderScrambling { None, Scramble, Unscramble };

// What the background chooser does to each picture of a folder as it adds it
// to a song's background: scramble the plain ones with one password, or
// unscramble the ".PIK" ones, asking for the first of them (always, even
// when a known password would fit) and trying the known passwords for the
// others. Prompting stays allowed after the first file only while the user
// keeps giving good passwords; it is forbidden again when the run ends.
class PikFolderRun {
public:
    // For Scramble, password is the one the user confirmed.
    PikFolderRun(PictureScrambler& scrambler, FolderScrambling action, std::string password = {});
    ~PikFolderRun();
    PikFolderRun(const PikFolderRun&) = delete;
    PikFolderRun& operator=(const PikFolderRun&) = delete;

    // The path that names the picture afterwards: the new file's, or path
    // itself when there was nothing to do or it failed.
    std::string convert(const std::string& path);

private:
    PictureScrambler& scrambler_;
    FolderScrambling action_;
    std::string password_;
    bool firstUnscramble_ = true;
};

}  // namespace melnix
