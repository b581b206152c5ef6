#pragma once
// The file through which a second start hands its argument to the running
// copy: "Melnix_001.tmp" in the data folder, the path and a 0 byte.

#include <string>

namespace melnix {

// False when the file cannot be written.
bool writeHandOverFile(const std::string& dataFolder, const std::string& argument);
// The path a second copy was started with; empty when there is none.
std::string takeHandedOverPath(const std::string& dataFolder);

}  // namespace melnix
