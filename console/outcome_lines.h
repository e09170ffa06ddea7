// The line the console program writes to standard output for each file: its
// outcome, its name, and for a printed file its kind and what was sent.
#pragma once

#include "../jobs/batch.h"

#include <string>

// "printed: C:\docs\a.txt (text, 3 pages)", "not printed: ...", "failed: ...".
std::string OutcomeLine(const BatchEntry& entry);
// The same as one JSON object: {"outcome":"printed","name":"...","kind":"text",
// "pages":3}; "bytes" for what the program wrote itself. A name that is not
// UTF-8 (a settings file's ANSI text) is carried with stand-ins, never as
// invalid JSON.
std::string OutcomeJson(const BatchEntry& entry);
// The kind's word in both forms: "text", "postscript", "eps", "raw".
const char* KindWord(int fileKind);
