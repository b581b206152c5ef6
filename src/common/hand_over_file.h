#pragma once
// The file through which a second start hands its files to the running
// copy: "Melnix_001.tmp" in the data folder, each path followed by a 0 byte.

#include <string>
#include <vector>

namespace melnix {

// False when the file cannot be written.
bool writeHandOverFile(const std::string& dataFolder, const std::vector<std::string>& paths);
// The paths a second copy was started with, in order; empty when there are none.
std::vector<std::string> takeHandedOverPaths(const std::string& dataFolder);

}  // namespace melnix
