// SPDX-License-Identifier: GPL-3.0-or-later
#include "lyrics/lyric_source.h"

#include "common/text_encoding.h"
#include "lyrics/mlx_block.h"

namespace melnix {
namespace {
// Far beyond any lyric text; larger files are not examined.
constexpr int64_t kMaxDecodedText = 8 * 1024 * 1024;
}  // namespace

bool openLyricSource(const std::string& path, File& file) {
    if (!file.open(path, File::Mode::Read)) return false;
    const int64_t length = file.length();
    if (length <= 0 || length > kMaxDecodedText) return true;
    std::string bytes(static_cast<size_t>(length), '\0');
    if (!file.readExact(bytes.data(), bytes.size())) return file.seek(0);
    const TextEncoding encoding = detectTextEncoding(bytes);
    // A lyric block is GBK text followed by binary data: never converted.
    if (encoding == TextEncoding::Gbk || bytes.find(kMlxSignature) != std::string::npos) return file.seek(0);
    File decoded;
    if (!decoded.openMemory(textToGbk(bytes, encoding))) return file.seek(0);
    file = std::move(decoded);
    return true;
}

}  // namespace melnix
