// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What a second start sends the running copy through the local socket: the
// files it was given, in the message itself, so that no two starts share a
// file they could overwrite. A message is a line "811112228 COUNT" followed by
// COUNT paths, each as "LENGTH:" and its bytes (a path may hold any byte but
// 0, a line break too). The running copy answers "taken" once it has them.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace melnix {

inline constexpr char kHandOverTaken[] = "taken\n";
// A desktop hands over a whole selection, of paths as long as the system allows.
inline constexpr size_t kMaxHandOverBytes = 16 * 1024 * 1024;

std::string encodeHandOver(const std::vector<std::string>& paths);

// Reads messages from bytes as they arrive on one connection.
class HandOverReader {
public:
    // Adds received bytes; false when they cannot be a message (the
    // connection should be dropped).
    bool feed(const char* data, size_t size);
    // The next whole message's paths, in order; none until one is complete.
    std::optional<std::vector<std::string>> next();

private:
    std::string buffer_;
    bool broken_ = false;
};

}  // namespace melnix
