// SPDX-License-Identifier: GPL-3.0-or-later
#include "mail/mail_attachment.h"

#include <sys/stat.h>

#include "common/file.h"
#include "common/paths.h"
#include "mail/mime_text.h"

namespace melnix {

bool MailAttachment::attachFile(const std::string& path) {
    title_.clear();
    base64_.clear();
    // Only a regular file: opening a pipe or a device could wait for ever.
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return false;
    std::string content;
    if (!readWholeFile(path, content, kMaxFileBytes)) return false;
    base64_ = base64Lines(content);
    title_ = fileNameOf(path);
    return true;
}

}  // namespace melnix
