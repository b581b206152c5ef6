// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/paths.h"

#include <cerrno>
#include <cstdlib>
#include <sys/stat.h>

namespace melnix {
namespace {

// mkdir -p with the given mode for every folder it makes.
bool makeFolders(const std::string& path, mode_t mode) {
    if (path.empty()) return false;
    for (size_t i = 1; i <= path.size(); ++i) {
        if (i != path.size() && path[i] != '/') continue;
        std::string part = path.substr(0, i);
        if (::mkdir(part.c_str(), mode) != 0 && errno != EEXIST) return false;
    }
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

char asciiUpper(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 32) : c; }

}  // namespace

std::string dataFolder() {
    std::string dir;
    if (const char* home = std::getenv("MELNIX_HOME"); home && *home) {
        dir = home;
    } else if (const char* state = std::getenv("XDG_STATE_HOME"); state && *state) {
        dir = std::string(state) + "/melnix";
    } else if (const char* userHome = std::getenv("HOME"); userHome && *userHome) {
        dir = std::string(userHome) + "/.local/state/melnix";
    } else {
        return {};
    }
    while (dir.size() > 1 && dir.back() == '/') dir.pop_back();
    return makeFolders(dir, 0700) ? dir : std::string();
}

std::string fileNameOf(std::string_view path) {
    size_t slash = path.rfind('/');
    return std::string(slash == std::string_view::npos ? path : path.substr(slash + 1));
}

std::string fileTitleOf(std::string_view path) {
    std::string name = fileNameOf(path);
    size_t dot = name.rfind('.');
    if (dot != std::string::npos && dot > 0) name.resize(dot);
    return name;
}

std::string replaceExtension(std::string_view path, std::string_view ext) {
    size_t dot = path.rfind('.');
    if (dot == std::string_view::npos || dot < 3) return {};
    std::string out(path.substr(0, dot + 1));
    out.append(ext);
    return out;
}

bool endsWithNoCase(std::string_view name, std::string_view ext) {
    if (ext.size() > name.size()) return false;
    std::string_view tail = name.substr(name.size() - ext.size());
    for (size_t i = 0; i < ext.size(); ++i)
        if (asciiUpper(tail[i]) != asciiUpper(ext[i])) return false;
    return true;
}

}  // namespace melnix
