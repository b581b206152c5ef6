// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The pictures or video shown behind a song's lyrics, built from the song's
// pictureList: "|"-separated full paths, where an entry after "||" is a file
// name in the folder of the last full path.

#include <string>
#include <string_view>
#include <vector>

namespace melnix {

constexpr size_t kMinBackgroundSpec = 5;  // shorter strings are ignored
constexpr char kBuiltInPictureFormat[] = "__%d.jpg";

// The name of built-in picture n ("__0.jpg", ...).
std::string builtInPictureName(int n);
// A file name that starts with "_" is one of the program's own pictures.
bool isBuiltInPicture(std::string_view path);

class BackgroundMediaList {
public:
    // Rebuilds the list from a background string (a string of 4 bytes or
    // fewer keeps the list as it was), pads short picture lists with the
    // built-in pictures and keeps the index inside the list.
    void setFromSpec(std::string_view spec);

    std::vector<std::string> entries;
    int index = 0;
};

// Hands out the two built-in pictures alternately, starting with the second.
class DefaultPictureRotation {
public:
    int next() {
        nextIndex_ = nextIndex_ == 1 ? 0 : nextIndex_ + 1;
        return nextIndex_;
    }

private:
    int nextIndex_ = 0;
};

}  // namespace melnix
