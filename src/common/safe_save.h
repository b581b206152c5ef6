// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Replaces a file so that a failure at any moment (a full disk, a kill, a
// power cut) leaves either the old file or the new one, never a mix: the new
// content goes into a temporary file beside the target, is flushed to disk
// and then renamed over the target.

#include <string>

#include "common/file.h"

namespace melnix {

class SafeSave {
public:
    SafeSave() = default;
    ~SafeSave();
    SafeSave(const SafeSave&) = delete;
    SafeSave& operator=(const SafeSave&) = delete;

    // Starts replacing target (a symbolic link is followed, so the file it
    // names is replaced). False when the temporary file cannot be made.
    // Temporary files that earlier saves of target left behind (killed on
    // the way) go first.
    bool begin(const std::string& target);

    File& file() { return file_; }
    // The temporary file's name, for writers that open it by name themselves.
    const std::string& tempPath() const { return temp_; }
    const std::string& targetPath() const { return target_; }

    // Copies bytes [0, length) of source into the temporary file.
    bool copyFrom(File& source, int64_t length);

    // Flushes, gives the file the target's permissions (or 0644 for a new
    // file) with extraModeBits added, and renames it over the target.
    bool commit(unsigned extraModeBits = 0);

    // Like commit, but for a file that must not exist yet: gives it mode and
    // fails with EEXIST, leaving the file there alone, when the target has
    // appeared in the meantime.
    bool commitNew(unsigned mode);

    int lastErrno() const { return errno_; }

private:
    void abandon();
    bool finish(unsigned mode, bool replace);

    File file_;
    std::string target_;
    std::string temp_;
    int errno_ = 0;
};

// Removes the temporary files that saves into folder left behind when they
// were killed (this program's names only, the user's own files only, never
// one a live save is writing).
void removeSaveLeftoversIn(const std::string& folder);

// Tests put a failing flush in place of fsync (nullptr restores it): a disk
// can refuse the data only at that moment.
using SafeSaveSync = int (*)(int fd);
void setSafeSaveSyncForTesting(SafeSaveSync sync);

}  // namespace melnix
