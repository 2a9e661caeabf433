#pragma once
// How the main window turns its boxes into the source and target scans.
#include <cstddef>
#include <string>

#include "compare/FileUtil.h"
#include "control/OperationMode.h"
#include "ui/ControlIds.h"
#include "ui/Controls.h"

namespace ui {

// A folder text without an extension in its last component scans the whole
// folder: "/*.*" is appended.
std::string WithDefaultPattern(std::string text);

// Scans the source box's folder with the exclusion box's tokens; returns the
// length of the scanner's root folder (srcRootLength).
size_t ScanSource(CqvFileUtil& source, IControls& controls);

// Scans the target: the target box in Local mode; in Network mode the first PC
// (start address box + share path box, '/' turned into '\' and written back),
// after an echo check. When that PC does not answer the operator is told, the
// scanner keeps its previous lists and tgtRootLength is left as it was.
// Returns false in that case.
bool ScanTarget(CqvFileUtil& target, OperationMode mode, IControls& controls,
                size_t& tgtRootLength);

}  // namespace ui
