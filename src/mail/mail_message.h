// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A mail message as this program sends it: a plain header, and with
// attachments a two-part MIME body.

#include <ctime>
#include <string>
#include <string_view>
#include <vector>

#include "mail/mail_attachment.h"

namespace melnix {

struct MailAddress {
    MailAddress() = default;
    explicit MailAddress(std::string emailAddress) : address(std::move(emailAddress)) {}
    MailAddress(std::string friendlyName, std::string emailAddress)
        : name(std::move(friendlyName)), address(std::move(emailAddress)) {}

    // "name <address>", or the bare address when there is no name.
    std::string headerForm() const;

    std::string name;
    std::string address;
};

// The C library's date text, "%a, %d %b %Y %H:%M:%S %Z" in local time, with
// English day and month names whatever the process locale.
std::string formatMailDate(std::time_t when);

class MailMessage {
public:
    static constexpr std::string_view kMailer = "CSMTPConnection v1.21";
    static constexpr std::string_view kBoundary = "#BOUNDARY#";

    void setFrom(MailAddress address) { from_ = std::move(address); }
    void addRecipient(MailAddress address) { recipients_.push_back(std::move(address)); }
    void setSubject(std::string subject) { subject_ = std::move(subject); }
    void setReplyTo(MailAddress address) { replyTo_ = std::move(address); }
    // Stores the body ready for the data phase: CR LF line ends, dot-stuffed.
    void setBody(std::string_view text);
    void addAttachment(MailAttachment attachment) { attachments_.push_back(std::move(attachment)); }

    const MailAddress& from() const { return from_; }
    const std::vector<MailAddress>& recipients() const { return recipients_; }
    const std::string& subject() const { return subject_; }
    const MailAddress& replyTo() const { return replyTo_; }
    const std::string& body() const { return body_; }
    const std::vector<MailAttachment>& attachments() const { return attachments_; }

    // The header lines and the empty line that ends them, dated `now`.
    std::string headerText(std::time_t now) const;
    // Everything the data phase carries before its end mark: the header and
    // the body, or the header and the MIME parts.
    std::string dataText(std::time_t now) const;

private:
    MailAddress from_;
    std::vector<MailAddress> recipients_;
    std::string subject_;
    MailAddress replyTo_;
    std::string body_;
    std::vector<MailAttachment> attachments_;
};

}  // namespace melnix
