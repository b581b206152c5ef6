// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <string>
#include <vector>

// melnix-tool mail ...: args are the words after "mail". Returns the exit
// status.
int runMailCommand(const std::vector<std::string>& args);
