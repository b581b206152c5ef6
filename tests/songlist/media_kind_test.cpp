// SPDX-License-Identifier: GPL-3.0-or-later
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
        {"mp3", MediaTable::Audio, 0},          {"/a/s.flac", MediaTable::Audio, 15},
        {"/a/s.OPUS", MediaTable::Audio, 18},   {"/a/s.weba", MediaTable::Audio, 26},
        {"/a/v.mp4", MediaTable::Video, 7},     {"/a/v.TS", MediaTable::Video, 13},
        {"/a/v.mts", MediaTable::Video, 0},     {"/a/p.png", MediaTable::Picture, 9},
        {"/a/p.WebP", MediaTable::Picture, 10}, {"/a/v.mp4", MediaTable::Audio, 0},
    };
    for (const auto& c : cases) EXPECT_EQ(mediaKind(c.name, c.table), c.kind) << c.name;
    EXPECT_TRUE(isSongFile("/a/v.wmv"));
    EXPECT_FALSE(isSongFile("/a/p.jpg"));
    EXPECT_TRUE(isMidiSong("/a/x.RMI"));
    EXPECT_FALSE(isMidiSong("/a/x.wav"));
    EXPECT_TRUE(isSongFile("/a/v.mkv"));
    EXPECT_TRUE(isSongFile("/a/s.m4a"));
}

TEST(MediaKind, EachSongGoesToItsEngine) {
    const struct {
        const char* name;
        SongKind kind;
    } cases[] = {
        {"a.mp3", SongKind::Mp3},      {"a.MPA", SongKind::Mp3},      {"a.wav", SongKind::Wav},
        {"a.flac", SongKind::Decoded}, {"a.ogg", SongKind::Decoded},  {"a.opus", SongKind::Decoded},
        {"a.m4a", SongKind::Decoded},  {"a.weba", SongKind::Decoded}, {"a.mid", SongKind::Midi},
        {"a.KAR", SongKind::Midi},     {"a.rmi", SongKind::Midi},     {"a.swf", SongKind::Flash},
        {"a.rm", SongKind::Streaming}, {"a.ra", SongKind::Streaming}, {"a.wma", SongKind::Hosted},
        {"a.cda", SongKind::Hosted},   {"a.mp4", SongKind::Hosted},   {"a.txt", SongKind::Hosted},
    };
    for (const auto& c : cases) EXPECT_EQ(songKindOf(c.name), c.kind) << c.name;
    for (const char* name : {"a.mp3", "a.wav", "a.flac"}) EXPECT_TRUE(isWaveKind(songKindOf(name))) << name;
    for (const char* name : {"a.wma", "a.mid", "a.swf", "a.mp4"}) EXPECT_FALSE(isWaveKind(songKindOf(name))) << name;
}

TEST(MediaKind, DialogFilters) {
    EXPECT_EQ(mediaFilter(MediaTable::Video),
              "*.MPG;*.WMV;*.MPEG;*.MPE;*.ASF;*.AVI;*.MP4;*.M4V;*.MKV;*.WEBM;*.MOV;*.FLV;*.TS");
    const std::string decoded = "*.FLAC;*.OGG;*.OGA;*.OPUS;*.M4A;*.AAC;*.AIF;*.AIFF;*.WV;*.APE;*.MKA;*.WEBA";
    EXPECT_EQ(mediaFilter(MediaTable::Audio, true),
              "*.MP3;*.WAV;*.WMA;*.MID;*.MIDI;*.RMI;*.KAR;*.SND;*.CDA;*.MPA;" + decoded);
    EXPECT_EQ(mediaFilter(MediaTable::Audio),
              "*.MP3;*.WAV;*.WMA;*.MID;*.MIDI;*.RMI;*.KAR;*.SND;*.CDA;*.MPA;*.SWF;*.RM;*.RAM;*.RA;" + decoded);
    EXPECT_EQ(mediaFilter(MediaTable::Picture), "*.PIK;*.JPG;*.BMP;*.JPE;*.WMF;*.JPEG;*.GIF;*.TIF;*.PNG;*.WEBP");
}

}  // namespace
}  // namespace melnix
