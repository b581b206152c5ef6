// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The lyric exchange mail: a synchronized lyric file and the sender's public
// profile, sent to the collecting mailboxes of the exchange. All text here is
// GBK, as the program's lyrics and profile are.

#include <atomic>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace melnix {

struct SenderProfile {
    std::string name;
    bool isFemale = false;
    int age = 0;  // 0..120
    std::string area;
    std::string qqNumber;
    std::string homePage;
    std::string email;
    std::string messageToAuthor;
    std::string messageToFriends;

    bool operator==(const SenderProfile&) const = default;
};

constexpr int kMaxProfileAge = 120;

// The leading decimal digits of the age field; text without them is 0. The
// result is kept to 0..120, the range the state file accepts: a larger age
// would make the next start stop reading the state file at that field.
int parseSenderAge(std::string_view text);

constexpr std::string_view kExchangeSubjectPrefix = "LYRIC_of ";

std::string exchangeSubject(std::string_view songName);

// One "KEY =   value" line per field, separated by CR LF, without a final
// line end; the keys are right-aligned so that the collector can read the
// fields by column.
std::string exchangeMailBody(std::string_view downloadAddress, const SenderProfile& profile);

// An SMTP server and the collecting mailbox it delivers to.
struct ExchangeDestination {
    std::string host;
    uint16_t port = 25;
    std::string mailbox;

    bool operator==(const ExchangeDestination&) const = default;
};

// The mail goes to at most this many destinations.
constexpr size_t kMaxExchangeDestinations = 2;

// The destinations exchange.ini in the data folder names: one
// "host[:port] mailbox" an entry, entries separated by line ends or ";",
// "#" starting a comment line. Entries that do not read are skipped; only
// the first two are used.
std::vector<ExchangeDestination> parseExchangeDestinations(std::string_view text);

constexpr char kExchangeSettingsFile[] = "exchange.ini";
constexpr char kExchangeEnvironment[] = "MELNIX_EXCHANGE";

// $MELNIX_EXCHANGE when it is set (even empty), else exchange.ini in the
// data folder; none when neither names a destination.
std::vector<ExchangeDestination> configuredExchangeDestinations();

struct ExchangeMail {
    SenderProfile profile;
    std::string downloadAddress;
    std::string songName;
    std::string filePath;  // the lyric file to attach
};

// Sends the mail to every destination in turn, each on a connection of its
// own, whatever became of the others. Returns how many took it. Another
// thread may set *cancel to stop at once; onDestination hears the index of
// each destination as its turn comes.
int sendExchangeMail(const std::vector<ExchangeDestination>& destinations, const ExchangeMail& mail,
                     const std::atomic<bool>* cancel = nullptr,
                     const std::function<void(size_t)>& onDestination = {});

}  // namespace melnix
