#include "common/hand_over_file.h"

#include <algorithm>

#include "common/file.h"
#include "common/safe_save.h"

namespace melnix {
namespace {

constexpr char kHandOverFile[] = "Melnix_001.tmp";
// A desktop hands over a whole selection, of paths as long as the system allows.
constexpr size_t kMaxHandOverBytes = 1024 * 1024;

std::string handOverPath(const std::string& folder) { return folder + "/" + kHandOverFile; }

}  // namespace

bool writeHandOverFile(const std::string& dataFolder, const std::vector<std::string>& paths) {
    SafeSave save;
    if (!save.begin(handOverPath(dataFolder))) return false;
    for (const std::string& path : paths) save.file().write(path.c_str(), path.size() + 1);
    return save.commit();
}

std::vector<std::string> takeHandedOverPaths(const std::string& dataFolder) {
    std::string bytes;
    std::vector<std::string> paths;
    if (!readWholeFile(handOverPath(dataFolder), bytes, kMaxHandOverBytes)) return paths;
    size_t at = 0;
    while (at < bytes.size()) {
        const size_t end = std::min(bytes.find('\0', at), bytes.size());
        if (end > at) paths.push_back(bytes.substr(at, end - at));
        at = end + 1;
    }
    return paths;
}

}  // namespace melnix
