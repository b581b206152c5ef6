// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/hand_over_message.h"

#include <charconv>

namespace melnix {
namespace {

constexpr uint32_t kHandOverCommand = 811112228;
constexpr size_t kMaxPaths = 100000;

// Reads a decimal number from s at pos up to the end byte; advances pos past it.
std::optional<size_t> number(const std::string& s, size_t& pos, char end) {
    const size_t stop = s.find(end, pos);
    if (stop == std::string::npos || stop == pos || stop - pos > 12) return std::nullopt;
    size_t value = 0;
    const auto [ptr, ec] = std::from_chars(s.data() + pos, s.data() + stop, value);
    if (ec != std::errc() || ptr != s.data() + stop) return std::nullopt;
    pos = stop + 1;
    return value;
}

}  // namespace

std::string encodeHandOver(const std::vector<std::string>& paths) {
    std::string out = std::to_string(kHandOverCommand) + " " + std::to_string(paths.size()) + "\n";
    for (const std::string& p : paths) out += std::to_string(p.size()) + ":" + p;
    return out;
}

bool HandOverReader::feed(const char* data, size_t size) {
    if (broken_ || buffer_.size() + size > kMaxHandOverBytes) {
        broken_ = true;
        return false;
    }
    buffer_.append(data, size);
    return true;
}

std::optional<std::vector<std::string>> HandOverReader::next() {
    if (broken_) return std::nullopt;
    size_t pos = 0;
    const auto command = number(buffer_, pos, ' ');
    if (!command) {
        // Not even the command yet; anything else than digits is no message.
        if (buffer_.find_first_not_of("0123456789") != std::string::npos) broken_ = true;
        return std::nullopt;
    }
    if (*command != kHandOverCommand) {
        broken_ = true;
        return std::nullopt;
    }
    const auto count = number(buffer_, pos, '\n');
    if (!count) {
        if (buffer_.find('\n') != std::string::npos || buffer_.size() > 32) broken_ = true;
        return std::nullopt;
    }
    if (*count > kMaxPaths) {
        broken_ = true;
        return std::nullopt;
    }
    std::vector<std::string> paths;
    for (size_t i = 0; i < *count; ++i) {
        const size_t before = pos;
        const auto length = number(buffer_, pos, ':');
        if (!length) {
            if (buffer_.find(':', before) != std::string::npos) broken_ = true;
            return std::nullopt;
        }
        if (buffer_.size() - pos < *length) return std::nullopt;
        paths.push_back(buffer_.substr(pos, *length));
        pos += *length;
    }
    buffer_.erase(0, pos);
    return paths;
}

}  // namespace melnix
