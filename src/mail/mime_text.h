// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Text transformations of a mail message: the transfer encodings of its MIME
// parts and the transparency rules of the SMTP data phase.

#include <string>
#include <string_view>

namespace melnix {

// Standard base64 with a CR LF after every 76 characters and always one at
// the end, so a content that fills its last line exactly ends with an empty
// line.
std::string base64Lines(std::string_view bytes);

// Quoted-printable of text whose lines end in CR LF: the line ends stay hard
// line breaks, no encoded line is longer than 76 characters, "=" and bytes
// outside printable ASCII are encoded, and so is white space at a line's
// end. A "." or "-" that would open an encoded line is encoded too, so the
// part needs no dot-stuffing and can never look like a boundary.
std::string quotedPrintable(std::string_view text);

// Every line end (CR LF, a lone LF or a lone CR) becomes CR LF, the only one
// mail allows; a bare LF would otherwise escape the dot-stuffing a server
// undoes on CR LF lines.
std::string withCrLfLineEnds(std::string_view text);

// A line that begins with "." gets a second one, the first line included, so
// that no line of the data can end it early or lose its dot.
std::string dotStuffed(std::string_view text);
std::string dotUnstuffed(std::string_view text);

// CR and LF become spaces: text that goes into a header or a command must
// never start a new line of its own.
std::string singleLine(std::string_view text);

}  // namespace melnix
