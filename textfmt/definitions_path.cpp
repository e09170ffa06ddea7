// Where the pretty-print definitions file is. Kept apart from the reader so
// that the command line can set it without bringing in the drawing.
#include "definitions.h"

#include "../common/bounded_text.h"
#include "../common/paths.h"

namespace {

char definitionsPath[kPathSize] = "";

void SetDefaultPath() {
    CopyText(definitionsPath, sizeof definitionsPath, ProgramPathComponents("drive,dir"));
    AppendText(definitionsPath, sizeof definitionsPath, "pp.txt");
}

} // namespace

void SetDefinitionsPath(const char* path) {
    // A name too long for the buffer keeps the default rather than a cut
    // name, which would read some other file.
    if (!path || !path[0] || !CopyText(definitionsPath, sizeof definitionsPath, path))
        SetDefaultPath();
}

const char* DefinitionsPath() {
    if (!definitionsPath[0])
        SetDefaultPath();
    return definitionsPath;
}
