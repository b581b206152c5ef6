#include "common/hand_over_file.h"

#include "common/file.h"
#include "common/safe_save.h"

namespace melnix {
namespace {

constexpr char kHandOverFile[] = "Melnix_001.tmp";
constexpr size_t kMaxHandOverBytes = 520;

std::string handOverPath(const std::string& folder) { return folder + "/" + kHandOverFile; }

}  // namespace

bool writeHandOverFile(const std::string& dataFolder, const std::string& argument) {
    SafeSave save;
    if (!save.begin(handOverPath(dataFolder))) return false;
    save.file().write(argument.c_str(), argument.size() + 1);
    return save.commit();
}

std::string takeHandedOverPath(const std::string& dataFolder) {
    std::string bytes;
    if (!readWholeFile(handOverPath(dataFolder), bytes, kMaxHandOverBytes)) return {};
    return bytes.substr(0, bytes.find('\0'));
}

}  // namespace melnix
