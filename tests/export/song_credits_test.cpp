// SPDX-License-Identifier: GPL-3.0-or-later
#include "export/core/song_credits.h"

#include <gtest/gtest.h>

#include "export_songs.h"
#include "support/gbk_text.h"
#include "support/test_files.h"

namespace melnix {
namespace {

using test::le32;

// A 128-byte ID3v1 tag with GBK fields, as Chinese taggers write it.
std::string id3v1(const std::string& title, const std::string& artist) {
    std::string tag = "TAG";
    auto field = [&tag](const std::string& v) { tag += v.substr(0, 30) + std::string(30 - std::min<size_t>(30, v.size()), '\0'); };
    field(title);
    field(artist);
    field("");  // album
    tag += std::string(4, '\0') + std::string(30, '\0') + std::string(1, '\xff');
    return tag;
}

// A WAV whose LIST/INFO chunk names the song, in UTF-8.
std::string wavWithInfo(const std::string& name, const std::string& artist) {
    std::string wav = test::wavOf(test::chirp(1));
    auto sub = [](const char* id, const std::string& v) {
        std::string z = v + '\0';
        if (z.size() % 2) z += '\0';
        return std::string(id) + le32(static_cast<uint32_t>(z.size())) + z;
    };
    std::string info = "INFO";
    if (!name.empty()) info += sub("INAM", name);
    if (!artist.empty()) info += sub("IART", artist);
    wav += "LIST" + le32(static_cast<uint32_t>(info.size())) + info;
    wav.replace(4, 4, le32(static_cast<uint32_t>(wav.size() - 8)));
    return wav;
}

TEST(SongCredits, FromTheId3v1TagElseTheLibrariesElseNothing) {
    test::TempDir dir;
    const struct {
        const char* what;
        std::string bytes;
        const char* name;
        std::string line;  // UTF-8
    } cases[] = {
        {"GBK ID3v1 tag", test::wavOf(test::chirp(1)) + id3v1(test::g("月亮代表我的心"), test::g("邓丽君")), "a.wav",
         "月亮代表我的心 - 邓丽君"},
        {"title only", test::wavOf(test::chirp(1)) + id3v1("Moon River", ""), "b.wav", "Moon River"},
        {"RIFF INFO read by the libraries", wavWithInfo("夜来香", "Teresa Teng"), "c.wav", "夜来香 - Teresa Teng"},
        {"artist only", wavWithInfo("", "Teresa Teng"), "d.wav", "Teresa Teng"},
        {"no tags", test::wavOf(test::chirp(1)), "e.wav", ""},
        {"not a song at all", std::string(3000, 'x'), "f.mp3", ""},
        {"MIDI", std::string("MThd\0\0\0\6\0\0\0\1\0\x60", 14), "g.mid", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const std::string path = dir.file(c.name);
        test::writeFile(path, c.bytes);
        EXPECT_EQ(creditsLine(readSongCredits(path)), c.line);
    }
    EXPECT_EQ(creditsLine(readSongCredits(dir.file("missing.wav"))), "");
}

}  // namespace
}  // namespace melnix
