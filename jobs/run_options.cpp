// What the command line's qualifiers set for the whole run. A file of its
// own: the front ends' windows and tests read these without the grammar.
#include "command_line.h"

bool EchoToLog = false;
bool SpoolerMode = false;
char SpoolerPattern[kPathSize] = "";
char BackupDirectory[kPathSize] = "";
