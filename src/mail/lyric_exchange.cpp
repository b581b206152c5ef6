// SPDX-License-Identifier: GPL-3.0-or-later
#include "mail/lyric_exchange.h"

#include <charconv>
#include <cstdlib>

#include "common/file.h"
#include "common/paths.h"
#include "mail/mail_message.h"
#include "mail/smtp_connection.h"

namespace melnix {
namespace {

// A settings file is a few lines; anything larger is not one.
constexpr int64_t kMaxSettingsBytes = 64 * 1024;

bool isSpace(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

std::string_view trimmed(std::string_view s) {
    while (!s.empty() && isSpace(s.front())) s.remove_prefix(1);
    while (!s.empty() && isSpace(s.back())) s.remove_suffix(1);
    return s;
}

bool readEntry(std::string_view entry, ExchangeDestination& out) {
    size_t gap = 0;
    while (gap < entry.size() && !isSpace(entry[gap])) ++gap;
    std::string_view server = entry.substr(0, gap);
    const std::string_view mailbox = trimmed(entry.substr(gap));
    if (server.empty() || mailbox.empty()) return false;
    for (char c : mailbox)
        if (isSpace(c)) return false;
    uint16_t port = CSMTPConnection::kDefaultPort;
    if (const size_t colon = server.rfind(':'); colon != std::string_view::npos) {
        const std::string_view digits = server.substr(colon + 1);
        unsigned value = 0;
        const auto [end, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
        if (ec != std::errc() || end != digits.data() + digits.size() || value < 1 || value > 65535) return false;
        port = static_cast<uint16_t>(value);
        server = server.substr(0, colon);
        if (server.empty()) return false;
    }
    out = {std::string(server), port, std::string(mailbox)};
    return true;
}

}  // namespace

int parseSenderAge(std::string_view text) {
    size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
    int age = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        age = age * 10 + (text[i] - '0');
        if (age > kMaxProfileAge) return kMaxProfileAge;
    }
    return age;
}

std::string exchangeSubject(std::string_view songName) {
    return std::string(kExchangeSubjectPrefix) + std::string(songName);
}

std::string exchangeMailBody(std::string_view downloadAddress, const SenderProfile& p) {
    std::string body;
    body += "       DownLoad =   " + std::string(downloadAddress);
    body += "\r\n           NAME =   " + p.name;
    body += "\r\n            SEX =   " + std::string(p.isFemale ? "F" : "M");
    body += "\r\n            AGE =   " + std::to_string(p.age);
    body += "\r\n           AREA =   " + p.area;
    body += "\r\n         QQ/ICQ =   " + p.qqNumber;
    body += "\r\n           HTTP =   " + p.homePage;
    body += "\r\n         EMail1 =   " + p.email;
    body += "\r\n   MessageToTVQ =   " + p.messageToAuthor;
    body += "\r\nMessageToFriend =   " + p.messageToFriends;
    return body;
}

std::vector<ExchangeDestination> parseExchangeDestinations(std::string_view text) {
    std::vector<ExchangeDestination> out;
    while (!text.empty() && out.size() < kMaxExchangeDestinations) {
        const size_t end = text.find_first_of(";\n");
        const std::string_view entry = trimmed(text.substr(0, end));
        text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
        ExchangeDestination d;
        if (!entry.empty() && entry.front() != '#' && readEntry(entry, d)) out.push_back(std::move(d));
    }
    return out;
}

std::vector<ExchangeDestination> configuredExchangeDestinations() {
    if (const char* env = std::getenv(kExchangeEnvironment)) return parseExchangeDestinations(env);
    const std::string folder = dataFolder();
    if (folder.empty()) return {};
    std::string text;
    if (!readWholeFile(folder + "/" + kExchangeSettingsFile, text, kMaxSettingsBytes)) return {};
    return parseExchangeDestinations(text);
}

int sendExchangeMail(const std::vector<ExchangeDestination>& destinations, const ExchangeMail& mail,
                     const std::atomic<bool>* cancel, const std::function<void(size_t)>& onDestination) {
    // A file that cannot be read still goes as a part, empty and without a
    // name, so the collector sees that one was meant.
    MailAttachment attachment;
    attachment.attachFile(mail.filePath);
    const std::string body = exchangeMailBody(mail.downloadAddress, mail.profile);
    int sent = 0;
    for (size_t i = 0; i < destinations.size(); ++i) {
        if (cancel && cancel->load()) break;
        if (onDestination) onDestination(i);
        const ExchangeDestination& d = destinations[i];
        MailMessage message;
        message.setFrom(MailAddress(mail.profile.email));
        message.addRecipient(MailAddress(d.mailbox));
        message.setSubject(exchangeSubject(mail.songName));
        message.setBody(body);
        message.addAttachment(attachment);
        CSMTPConnection connection;
        connection.setCancel(cancel);
        if (!connection.connect(d.host, d.port)) continue;
        // Once the server has taken the message it is delivered, even when
        // the goodbye that follows goes wrong.
        if (connection.sendMessage(message)) ++sent;
        connection.disconnect();
    }
    return sent;
}

}  // namespace melnix
