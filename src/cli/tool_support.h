// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What every melnix-tool command shares: exit codes, usage, failure messages.

#include <string>

namespace melnix {

constexpr int kExitOk = 0;
constexpr int kExitFailed = 1;
constexpr int kExitUsage = 2;

// Prints the usage of every command; returns kExitUsage.
int usage();
// Prints "melnix-tool: message" on standard error; returns kExitFailed.
int fail(const std::string& message);

}  // namespace melnix
