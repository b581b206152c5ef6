// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A file carried by a mail message, held as its base64 text.

#include <cstdint>
#include <string>

namespace melnix {

class MailAttachment {
public:
    // Larger files are refused: the whole text is built in memory, and mail
    // servers refuse messages far smaller than this anyway.
    static constexpr int64_t kMaxFileBytes = int64_t{64} << 20;

    // Reads the whole regular file at path. On failure the attachment stays
    // empty: no title and no text.
    bool attachFile(const std::string& path);

    // The file's name and extension, without its folder.
    const std::string& title() const { return title_; }
    const std::string& base64Text() const { return base64_; }
    size_t length() const { return base64_.size(); }

private:
    std::string title_;
    std::string base64_;
};

}  // namespace melnix
