// The pretty-print definitions file.
#pragma once

// Nothing or an empty name selects "pp.txt" beside the program.
void SetDefinitionsPath(const char* path);
const char* DefinitionsPath();
void FreeDefinitions();
