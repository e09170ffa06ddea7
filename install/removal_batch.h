// The batch file that removes the program file once the program has ended.
#pragma once

#include <cstddef>

// The batch's text: change to the batch's own directory, delete the program
// file as soon as it can be deleted, remove the program's directory when it is
// empty (the user's own files keep it, and them, in place), delete the batch.
// Every path is quoted and its "%" doubled, so blanks, "&" and the like are
// read as part of the name. False when a path is unusable (no directory part,
// a double quote) or the text does not fit `size`.
bool RemovalBatchText(const char* batchPath, const char* programPath, char* out, size_t size);
// The same text in the OEM code page, in which cmd.exe reads a batch file,
// for the program's paths in UTF-8. False also when a character of it has no
// exact OEM form: written otherwise, the batch would name other files, and
// the program would stay behind.
bool RemovalBatchInOem(const char* batchPath, const char* programPath, char* out, size_t size);
