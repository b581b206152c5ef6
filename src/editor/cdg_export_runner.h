// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// "导出 CD+G": the editor's way to the karaoke hosts' MP3+G. It asks for the
// file, then writes the .cdg (and the MP3 beside it) with a progress dialog
// that can cancel.

#include "export/cdg_export.h"

class QWidget;

namespace melnix {

class Prompts;

// Runs the whole dialogue. Returns true when the files were written.
bool runCdgExport(QWidget* parent, Prompts& prompts, CdgExportRequest request);

}  // namespace melnix
