// SPDX-License-Identifier: GPL-3.0-or-later
#include "present/core/picture_scrambler.h"

#include <csignal>
#include <dirent.h>
#include <sys/resource.h>
#include <sys/stat.h>

#include <gtest/gtest.h>

#include "present/core/pik_file.h"
#include "support/test_files.h"

namespace melnix {
namespace {

bool exists(const std::string& path) {
    struct stat st {};
    return ::lstat(path.c_str(), &st) == 0;
}

std::vector<std::string> entriesIn(const std::string& dir) {
    std::vector<std::string> names;
    if (DIR* d = ::opendir(dir.c_str())) {
        while (dirent* e = ::readdir(d))
            if (std::string(e->d_name) != "." && std::string(e->d_name) != "..") names.push_back(e->d_name);
        ::closedir(d);
    }
    std::sort(names.begin(), names.end());
    return names;
}

// Bytes that look like nothing in particular and are longer than two blocks.
std::string picture(size_t size, unsigned seed = 1) {
    std::string s(size, '\0');
    uint32_t x = seed;
    for (char& c : s) {
        x = x * 1103515245 + 12345;
        c = static_cast<char>(x >> 16);
    }
    return s;
}

// A prompt that answers from a list and records what it was asked; past the
// end of the list it cancels.
struct ScriptedPrompt {
    std::vector<std::optional<std::string>> answers;
    std::vector<PasswordRequest> asked;

    PasswordPrompt prompt() {
        return [this](const PasswordRequest& r) -> std::optional<std::string> {
            asked.push_back(r);
            return asked.size() <= answers.size() ? answers[asked.size() - 1] : std::nullopt;
        };
    }
    std::vector<int> attempts() const {
        std::vector<int> a;
        for (const PasswordRequest& r : asked) a.push_back(r.attempt);
        return a;
    }
};

class ScramblerTest : public ::testing::Test {
protected:
    // Scrambles plain as name in the folder with its own scrambler, so the
    // scrambler under test knows no password.
    std::string scrambled(const std::string& name, const std::string& plain, const std::string& password,
                          uint32_t salt = 0x5A17) {
        test::writeFile(dir.file(name), plain);
        PictureScrambler maker({}, [salt] { return salt; });
        return maker.scramblePicture(dir.file(name), password);
    }

    test::TempDir dir;
    ScriptedPrompt user;
    PictureScrambler scrambler{user.prompt()};
};

TEST_F(ScramblerTest, ScrambledFileHoldsHeaderAndTransformedBytes) {
    const std::string plain = picture(2500);
    PictureScrambler s({}, [] { return 0x01020304u; });
    test::writeFile(dir.file("a.jpg"), plain);

    ASSERT_EQ(s.scramblePicture(dir.file("a.jpg"), "Key"), dir.file("a.PIK"));

    const PikKey k = pikKey("KEY", 0x01020304);
    std::string data = plain;
    pikTransform(data.data(), data.size(), k);
    EXPECT_EQ(test::readFile(dir.file("a.PIK")), pikHeaderBytes("jpg", 0x01020304, k.check) + data);
    EXPECT_EQ(entriesIn(dir.path()), std::vector<std::string>{"a.PIK"});
    EXPECT_EQ(s.knownPasswords().list(), std::vector<std::string>{"KEY"});
}

TEST_F(ScramblerTest, FileModeRestoresTheExactPictureAndDropsTheScrambledFile) {
    const std::string plain = picture(3000);
    const std::string pik = scrambled("b.bmp", plain, "pw");
    ASSERT_EQ(pik, dir.file("b.PIK"));
    scrambler.knownPasswords().add("PW");

    EXPECT_EQ(scrambler.unscramblePicture(pik, nullptr), dir.file("b.bmp"));
    EXPECT_EQ(test::readFile(dir.file("b.bmp")), plain);
    EXPECT_EQ(entriesIn(dir.path()), std::vector<std::string>{"b.bmp"});
    EXPECT_TRUE(user.asked.empty());
}

TEST_F(ScramblerTest, MemoryModeHandsOverTheBytesAndKeepsTheFile) {
    const std::string plain = picture(1500);
    const std::string pik = scrambled("c.WMF", plain, "pw");
    const std::string onDisk = test::readFile(pik);
    scrambler.knownPasswords().add("PW");

    std::string out;
    EXPECT_EQ(scrambler.unscramblePicture(pik, &out), dir.file("c.WMF"));
    EXPECT_EQ(out, plain);
    EXPECT_EQ(test::readFile(pik), onDisk);
    EXPECT_FALSE(exists(dir.file("c.WMF")));
}

TEST_F(ScramblerTest, EmptyAndNamelessPicturesRoundTrip) {
    for (const std::string name : {"empty.gif", "noext"}) {
        const std::string pik = scrambled(name, "", "pw");
        ASSERT_FALSE(pik.empty()) << name;
        scrambler.knownPasswords().add("PW");
        EXPECT_EQ(scrambler.unscramblePicture(pik, nullptr), dir.file(name));
        EXPECT_EQ(test::readFile(dir.file(name)), "");
    }
    EXPECT_EQ(entriesIn(dir.path()), (std::vector<std::string>{"empty.gif", "noext"}));
}

TEST_F(ScramblerTest, SamePictureTwiceGivesDifferentFilesThatBothOpen) {
    const std::string plain = picture(2048);
    PictureScrambler random;  // real salts
    test::writeFile(dir.file("d.jpg"), plain);
    const std::string first = random.scramblePicture(dir.file("d.jpg"), "same");
    ASSERT_FALSE(first.empty());
    const std::string firstBytes = test::readFile(first);
    ASSERT_EQ(random.unscramblePicture(first, nullptr), dir.file("d.jpg"));
    ASSERT_EQ(random.scramblePicture(dir.file("d.jpg"), "same"), first);
    const std::string secondBytes = test::readFile(first);
    EXPECT_NE(firstBytes, secondBytes);

    test::writeFile(dir.file("e.PIK"), firstBytes);
    PictureScrambler fresh;
    fresh.knownPasswords().add("same");
    std::string a, b;
    EXPECT_FALSE(fresh.unscramblePicture(dir.file("e.PIK"), &a).empty());
    EXPECT_FALSE(fresh.unscramblePicture(first, &b).empty());
    EXPECT_EQ(a, plain);
    EXPECT_EQ(b, plain);
}

TEST_F(ScramblerTest, LowerCaseAnswerOpensFileScrambledInUpperCase) {
    const std::string pik = scrambled("f.jpg", picture(100), "SECRET");
    user.answers = {"secret"};
    scrambler.setMayAsk(true);
    std::string out;
    EXPECT_EQ(scrambler.unscramblePicture(pik, &out), dir.file("f.jpg"));
    EXPECT_EQ(out, picture(100));
    ASSERT_EQ(user.asked.size(), 1u);
    EXPECT_EQ(user.asked[0].path, pik);
    EXPECT_EQ(user.asked[0].timeoutMs, 5000);
    EXPECT_EQ(scrambler.knownPasswords().list(), std::vector<std::string>{"SECRET"});
    EXPECT_TRUE(scrambler.mayAsk());
}

TEST_F(ScramblerTest, FiveWrongPasswordsEndPromptingAndLeaveTheFile) {
    const std::string pik = scrambled("g.jpg", picture(100), "right");
    const std::string before = test::readFile(pik);
    user.answers.assign(9, std::string("wrong"));
    scrambler.setMayAsk(true);

    std::string out = "untouched";
    EXPECT_EQ(scrambler.unscramblePicture(pik, &out), "");
    EXPECT_EQ(user.attempts(), (std::vector<int>{1, 2, 3, 4, 5}));
    EXPECT_FALSE(scrambler.mayAsk());
    EXPECT_EQ(out, "untouched");
    EXPECT_EQ(test::readFile(pik), before);
    EXPECT_TRUE(scrambler.knownPasswords().list().empty());

    // Prompting stays off: the next picture is not asked about.
    EXPECT_EQ(scrambler.unscramblePicture(pik, nullptr), "");
    EXPECT_EQ(user.asked.size(), 5u);
}

TEST_F(ScramblerTest, RightPasswordOnTheFifthAttemptStillOpens) {
    const std::string pik = scrambled("h.jpg", picture(100), "right");
    user.answers = {"a", "b", "c", "d", "RIGHT"};
    scrambler.setMayAsk(true);
    EXPECT_EQ(scrambler.unscramblePicture(pik, nullptr), dir.file("h.jpg"));
    EXPECT_EQ(user.attempts(), (std::vector<int>{1, 2, 3, 4, 5}));
    EXPECT_EQ(scrambler.knownPasswords().list(), std::vector<std::string>{"RIGHT"});
}

struct GiveUp {
    std::string name;
    std::optional<std::string> answer;
};
void PrintTo(const GiveUp& c, std::ostream* os) { *os << c.name; }

class ScramblerGiveUp : public ScramblerTest, public ::testing::WithParamInterface<GiveUp> {};

TEST_P(ScramblerGiveUp, EndsPromptingAfterOneQuestion) {
    const std::string pik = scrambled("i.jpg", picture(100), "right");
    user.answers = {GetParam().answer, std::string("RIGHT")};
    scrambler.setMayAsk(true);
    EXPECT_EQ(scrambler.unscramblePicture(pik, nullptr), "");
    EXPECT_EQ(user.asked.size(), 1u);
    EXPECT_FALSE(scrambler.mayAsk());
    EXPECT_TRUE(exists(pik));
}

// A timeout reaches the library as a cancel.
INSTANTIATE_TEST_SUITE_P(Answers, ScramblerGiveUp,
                         ::testing::Values(GiveUp{"CancelOrTimeout", std::nullopt}, GiveUp{"EmptyEntry", ""}),
                         test::CaseName());

TEST_F(ScramblerTest, KnownPasswordsAreTriedBeforeAsking) {
    const std::string pik = scrambled("j.jpg", picture(100), "second");
    scrambler.knownPasswords().add("FIRST");
    scrambler.knownPasswords().add("second");
    scrambler.setMayAsk(true);
    std::string out;
    EXPECT_EQ(scrambler.unscramblePicture(pik, &out), dir.file("j.jpg"));
    EXPECT_TRUE(user.asked.empty());
    EXPECT_EQ(out, picture(100));
}

TEST_F(ScramblerTest, AskFirstAsksEvenWhenAKnownPasswordFits) {
    const std::string pik = scrambled("k.jpg", picture(100), "pw");
    scrambler.knownPasswords().add("PW");
    user.answers = {"pw"};
    scrambler.setMayAsk(true);
    std::string out;
    EXPECT_EQ(scrambler.unscramblePicture(pik, &out, true), dir.file("k.jpg"));
    EXPECT_EQ(user.asked.size(), 1u);
}

TEST_F(ScramblerTest, WithoutMayAskOnlyKnownPasswordsAreTried) {
    const std::string pik = scrambled("l.jpg", picture(100), "pw");
    user.answers = {"pw"};
    std::string out;
    EXPECT_EQ(scrambler.unscramblePicture(pik, &out), "");
    EXPECT_TRUE(user.asked.empty());
    scrambler.knownPasswords().add("pw");
    EXPECT_EQ(scrambler.unscramblePicture(pik, &out), dir.file("l.jpg"));
}

TEST_F(ScramblerTest, KnownPasswordsAreAddedOnceAndNeverEmpty) {
    KnownPasswords& known = scrambler.knownPasswords();
    EXPECT_TRUE(known.add("A"));
    EXPECT_FALSE(known.add("A"));
    EXPECT_TRUE(known.add("a"));
    EXPECT_FALSE(known.add(""));
    EXPECT_EQ(known.list(), (std::vector<std::string>{"A", "a"}));
}

TEST_F(ScramblerTest, DamagedFilesFailWithoutAskingAndStay) {
    const std::string good = test::readFile(scrambled("m.jpg", picture(100), "pw"));
    const std::vector<std::pair<std::string, std::string>> damaged = {
        {"short.PIK", good.substr(0, 12)},
        {"header.PIK", good.substr(0, 34)},  // the header needs 35 bytes
        {"marker.PIK", "X" + good.substr(1)},
        {"length.PIK", good.substr(0, 8) + "\xF0" + good.substr(9)},
    };
    scrambler.knownPasswords().add("PW");
    scrambler.setMayAsk(true);
    for (const auto& [name, bytes] : damaged) {
        test::writeFile(dir.file(name), bytes);
        std::string out;
        EXPECT_EQ(scrambler.unscramblePicture(dir.file(name), &out), "") << name;
        EXPECT_EQ(scrambler.unscramblePicture(dir.file(name), nullptr), "") << name;
        EXPECT_EQ(test::readFile(dir.file(name)), bytes) << name;
    }
    EXPECT_EQ(scrambler.unscramblePicture(dir.file("missing.PIK"), nullptr), "");
    EXPECT_TRUE(user.asked.empty());
    EXPECT_TRUE(scrambler.mayAsk());
}

TEST_F(ScramblerTest, ReadOnlyPictureIsScrambledAndRemoved) {
    test::writeFile(dir.file("n.jpg"), picture(10));
    ::chmod(dir.file("n.jpg").c_str(), 0444);
    EXPECT_EQ(scrambler.scramblePicture(dir.file("n.jpg"), "pw"), dir.file("n.PIK"));
    EXPECT_EQ(entriesIn(dir.path()), std::vector<std::string>{"n.PIK"});
}

TEST_F(ScramblerTest, ScramblingNeverReplacesAnotherScrambledPicture) {
    // a.jpg and a.bmp share the scrambled name.
    const std::string first = scrambled("o.jpg", picture(50, 1), "pw");
    const std::string before = test::readFile(first);
    test::writeFile(dir.file("o.bmp"), picture(60, 2));
    EXPECT_EQ(scrambler.scramblePicture(dir.file("o.bmp"), "pw"), "");
    EXPECT_EQ(test::readFile(first), before);
    EXPECT_EQ(test::readFile(dir.file("o.bmp")), picture(60, 2));
    EXPECT_EQ(entriesIn(dir.path()), (std::vector<std::string>{"o.PIK", "o.bmp"}));
}

TEST_F(ScramblerTest, NothingToScrambleIsRefused) {
    test::writeFile(dir.file("p.PIK"), picture(10));
    test::writeFile(dir.file("q.jpg"), picture(10));
    EXPECT_EQ(scrambler.scramblePicture(dir.file("p.PIK"), "pw"), "");
    EXPECT_EQ(scrambler.scramblePicture(dir.file("q.jpg"), ""), "");
    EXPECT_EQ(scrambler.scramblePicture(dir.file("missing.jpg"), "pw"), "");
    EXPECT_EQ(scrambler.scramblePicture(dir.path(), "pw"), "");
    EXPECT_EQ(entriesIn(dir.path()), (std::vector<std::string>{"p.PIK", "q.jpg"}));
}

TEST_F(ScramblerTest, RestoringNeverReplacesADifferentFile) {
    const std::string pik = scrambled("r.jpg", picture(100), "pw");
    const std::string before = test::readFile(pik);
    test::writeFile(dir.file("r.jpg"), "another picture");
    scrambler.knownPasswords().add("PW");

    EXPECT_EQ(scrambler.unscramblePicture(pik, nullptr), "");
    EXPECT_EQ(test::readFile(dir.file("r.jpg")), "another picture");
    EXPECT_EQ(test::readFile(pik), before);

    // The same picture kept beside its scrambled copy is simply the result.
    test::writeFile(dir.file("r.jpg"), picture(100));
    EXPECT_EQ(scrambler.unscramblePicture(pik, nullptr), dir.file("r.jpg"));
    EXPECT_EQ(entriesIn(dir.path()), std::vector<std::string>{"r.jpg"});
}

TEST_F(ScramblerTest, FileThatWouldRestoreOntoItselfIsLeftAlone) {
    test::writeFile(dir.file("s.PIK"), "");
    PictureScrambler maker({}, [] { return 9u; });
    const PikKey k = pikKey("PW", 9);
    std::string data = picture(20);
    pikTransform(data.data(), data.size(), k);
    const std::string bytes = pikHeaderBytes("PIK", 9, k.check) + data;
    test::writeFile(dir.file("s.PIK"), bytes);
    scrambler.knownPasswords().add("PW");
    scrambler.setMayAsk(true);

    EXPECT_EQ(scrambler.unscramblePicture(dir.file("s.PIK"), nullptr), "");
    EXPECT_EQ(test::readFile(dir.file("s.PIK")), bytes);
    EXPECT_TRUE(user.asked.empty());
    std::string out;
    EXPECT_EQ(scrambler.unscramblePicture(dir.file("s.PIK"), &out), dir.file("s.PIK"));
    EXPECT_EQ(out, picture(20));
}

// Files may not grow past a limit, so every write of a large file fails part
// way, as on a full disk.
class ScramblerWriteFailure : public ScramblerTest {
protected:
    void SetUp() override {
        ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &saved_), 0);
        oldHandler_ = std::signal(SIGXFSZ, SIG_IGN);
    }
    void TearDown() override {
        ::setrlimit(RLIMIT_FSIZE, &saved_);
        std::signal(SIGXFSZ, oldHandler_);
    }
    void limitFileSize(rlim_t bytes) {
        rlimit r = saved_;
        r.rlim_cur = bytes;
        ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &r), 0);
    }

    rlimit saved_{};
    void (*oldHandler_)(int) = nullptr;
};

TEST_F(ScramblerWriteFailure, ScramblingKeepsThePlainPictureAndLeavesNoPart) {
    const std::string plain = picture(300000);
    test::writeFile(dir.file("t.jpg"), plain);
    limitFileSize(100000);
    EXPECT_EQ(scrambler.scramblePicture(dir.file("t.jpg"), "pw"), "");
    EXPECT_EQ(test::readFile(dir.file("t.jpg")), plain);
    EXPECT_EQ(entriesIn(dir.path()), std::vector<std::string>{"t.jpg"});
}

TEST_F(ScramblerWriteFailure, UnscramblingKeepsTheScrambledFileAndLeavesNoPart) {
    const std::string pik = scrambled("u.jpg", picture(300000), "pw");
    const std::string before = test::readFile(pik);
    scrambler.knownPasswords().add("PW");
    limitFileSize(100000);
    EXPECT_EQ(scrambler.unscramblePicture(pik, nullptr), "");
    EXPECT_EQ(test::readFile(pik), before);
    EXPECT_EQ(entriesIn(dir.path()), std::vector<std::string>{"u.PIK"});
}

TEST_F(ScramblerTest, ScrambleRunConvertsPlainPicturesAndNamesTheResults) {
    test::writeFile(dir.file("v1.jpg"), picture(10, 1));
    test::writeFile(dir.file("v2.PIK"), picture(10, 2));
    test::writeFile(dir.file("v2.jpg"), picture(10, 3));  // its scrambled name is taken
    {
        PikFolderRun run(scrambler, FolderScrambling::Scramble, "pw");
        EXPECT_EQ(run.convert(dir.file("v1.jpg")), dir.file("v1.PIK"));
        EXPECT_EQ(run.convert(dir.file("v2.PIK")), dir.file("v2.PIK"));
        EXPECT_EQ(run.convert(dir.file("v2.jpg")), dir.file("v2.jpg"));
    }
    EXPECT_EQ(test::readFile(dir.file("v2.PIK")), picture(10, 2));
    EXPECT_EQ(entriesIn(dir.path()), (std::vector<std::string>{"v1.PIK", "v2.PIK", "v2.jpg"}));
    std::string out;
    EXPECT_FALSE(scrambler.unscramblePicture(dir.file("v1.PIK"), &out).empty());
    EXPECT_EQ(out, picture(10, 1));
}

TEST_F(ScramblerTest, UnscrambleRunAsksForTheFirstAndTriesKnownPasswordsForTheRest) {
    scrambled("w1.jpg", picture(10, 1), "pw");
    scrambled("w2.jpg", picture(10, 2), "pw");
    scrambled("w3.jpg", picture(10, 3), "other");
    scrambler.knownPasswords().add("PW");
    user.answers = {"pw"};
    {
        PikFolderRun run(scrambler, FolderScrambling::Unscramble);
        EXPECT_EQ(run.convert(dir.file("w1.PIK")), dir.file("w1.jpg"));
        EXPECT_EQ(run.convert(dir.file("w2.PIK")), dir.file("w2.jpg"));
        // Still allowed to ask after a good answer; cancelled here.
        EXPECT_EQ(run.convert(dir.file("w3.PIK")), dir.file("w3.PIK"));
        EXPECT_EQ(run.convert(dir.file("plain.jpg")), dir.file("plain.jpg"));
    }
    EXPECT_EQ(user.asked.size(), 2u);
    EXPECT_FALSE(scrambler.mayAsk());
    EXPECT_EQ(test::readFile(dir.file("w2.jpg")), picture(10, 2));
}

TEST_F(ScramblerTest, CancelledFirstQuestionLeavesTheRestToKnownPasswords) {
    scrambled("x1.jpg", picture(10, 1), "pw");
    scrambled("x2.jpg", picture(10, 2), "pw");
    scrambled("x3.jpg", picture(10, 3), "other");
    scrambler.knownPasswords().add("PW");
    PikFolderRun run(scrambler, FolderScrambling::Unscramble);
    EXPECT_EQ(run.convert(dir.file("x1.PIK")), dir.file("x1.PIK"));
    EXPECT_EQ(run.convert(dir.file("x2.PIK")), dir.file("x2.jpg"));
    EXPECT_EQ(run.convert(dir.file("x3.PIK")), dir.file("x3.PIK"));
    EXPECT_EQ(user.asked.size(), 1u);
}

}  // namespace
}  // namespace melnix
