#include "songlist/media_kind.h"

#include <gtest/gtest.h>

namespace melnix {
namespace {

TEST(MediaKind, PositionOfTheFirstMatchingExtensionAnyCase) {
    struct {
        const char* name;
        MediaTable table;
        int kind;
    } cases[] = {
        {"/a/song.mp3", MediaTable::Audio, 1},  {"/a/SONG.Midi", MediaTable::Audio, 5},
        {"/a/x.kar", MediaTable::Audio, 7},     {"/a/x.ra", MediaTable::Audio, 14},
        {"/a/x.ram", MediaTable::Audio, 13},    {"/a/clip.AVI", MediaTable::Video, 6},
        {"/a/clip.mpeg", MediaTable::Video, 3}, {"/a/p.jpeg", MediaTable::Picture, 6},
        {"/a/p.PIK", MediaTable::Picture, 1},   {"/a/readme.txt", MediaTable::Audio, 0},
        {"mp3", MediaTable::Audio, 0},
    };
    for (const auto& c : cases) EXPECT_EQ(mediaKind(c.name, c.table), c.kind) << c.name;
    EXPECT_TRUE(isSongFile("/a/v.wmv"));
    EXPECT_FALSE(isSongFile("/a/p.jpg"));
    EXPECT_TRUE(isMidiSong("/a/x.RMI"));
    EXPECT_FALSE(isMidiSong("/a/x.wav"));
}

TEST(MediaKind, DialogFilters) {
    EXPECT_EQ(mediaFilter(MediaTable::Video), "*.MPG;*.WMV;*.MPEG;*.MPE;*.ASF;*.AVI");
    EXPECT_EQ(mediaFilter(MediaTable::Audio, true), "*.MP3;*.WAV;*.WMA;*.MID;*.MIDI;*.RMI;*.KAR;*.SND;*.CDA;*.MPA");
    EXPECT_EQ(mediaFilter(MediaTable::Audio), mediaFilter(MediaTable::Audio, true) + ";*.SWF;*.RM;*.RAM;*.RA");
    EXPECT_EQ(mediaFilter(MediaTable::Picture), "*.PIK;*.JPG;*.BMP;*.JPE;*.WMF;*.JPEG;*.GIF;*.TIF");
}

}  // namespace
}  // namespace melnix
