// SPDX-License-Identifier: GPL-3.0-or-later
#include "mail/mail_message.h"

#include <clocale>
#include <locale.h>

#include "mail/mime_text.h"

namespace melnix {
namespace {

bool isAscii(std::string_view text) {
    for (char c : text)
        if (static_cast<unsigned char>(c) >= 0x80) return false;
    return true;
}

// A MIME parameter value: as it stands when it is a token, else quoted, so a
// file name with spaces or separators reaches the receiver whole.
std::string parameterValue(std::string_view value) {
    constexpr std::string_view kSpecials = "()<>@,;:\\\"/[]?=";
    bool token = !value.empty();
    for (char c : value) {
        const auto u = static_cast<unsigned char>(c);
        if (u <= 32 || u >= 127 || kSpecials.find(c) != std::string_view::npos) token = false;
    }
    if (token) return std::string(value);
    std::string out = "\"";
    for (char c : value) {
        if (c == '"' || c == '\\') out += '\\';
        out += c;
    }
    out += '"';
    return out;
}

}  // namespace

std::string MailAddress::headerForm() const {
    if (name.empty()) return singleLine(address);
    return singleLine(name) + " <" + singleLine(address) + ">";
}

std::string formatMailDate(std::time_t when) {
    std::tm local{};
    if (!localtime_r(&when, &local)) return {};
    // The program's locale may be a Chinese one; the header needs the C names.
    locale_t c = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(0));
    if (c == static_cast<locale_t>(0)) return {};
    char text[128];
    size_t n = strftime_l(text, sizeof text, "%a, %d %b %Y %H:%M:%S %Z", &local, c);
    freelocale(c);
    return std::string(text, n);
}

void MailMessage::setBody(std::string_view text) { body_ = dotStuffed(withCrLfLineEnds(text)); }

std::string MailMessage::headerText(std::time_t now) const {
    std::string to;
    for (const MailAddress& r : recipients_) {
        if (!to.empty()) to += ',';
        to += r.headerForm();
    }
    std::string h;
    h += "From: " + from_.headerForm() + "\r\n";
    h += "To: " + to + "\r\n";
    h += "Subject: " + singleLine(subject_) + "\r\n";
    h += "Date: " + formatMailDate(now) + "\r\n";
    h += "X-Mailer: " + std::string(kMailer) + "\r\n";
    if (!replyTo_.address.empty()) h += "Reply-To: " + replyTo_.headerForm() + "\r\n";
    if (!attachments_.empty())
        h += "MIME-Version: 1.0\r\nContent-type: multipart/mixed; boundary=\"" + std::string(kBoundary) + "\"\r\n";
    h += "\r\n";
    return h;
}

std::string MailMessage::dataText(std::time_t now) const {
    std::string data = headerText(now);
    if (attachments_.empty()) {
        data += body_;
        return data;
    }
    const std::string boundary(kBoundary);
    const std::string plain = dotUnstuffed(body_);
    // The text is GBK as soon as it holds a byte beyond ASCII; label it so.
    const char* charset = isAscii(plain) ? "us-ascii" : "gbk";
    data += "\r\n--" + boundary + "\r\nContent-Type: text/plain; charset=" + charset +
            "\r\nContent-Transfer-Encoding: quoted-printable\r\n\r\n";
    const std::string text = quotedPrintable(plain);
    data += text;
    // The line end before a boundary belongs to the boundary: a text that
    // ends its last line already needs only one more.
    const bool textEndsLine = text.empty() || text.ends_with("\r\n");
    for (size_t i = 0; i < attachments_.size(); ++i) {
        const MailAttachment& a = attachments_[i];
        const std::string name = parameterValue(singleLine(a.title()));
        data += i == 0 && textEndsLine ? "\r\n--" : "\r\n\r\n--";
        data += boundary + "\r\nContent-Type: application/octet-stream; name=" + name +
                "\r\nContent-Transfer-Encoding: base64\r\nContent-Disposition: attachment; filename=" + name +
                "\r\n\r\n";
        data += a.base64Text();
    }
    data += "\r\n--" + boundary + "--";
    return data;
}

}  // namespace melnix
