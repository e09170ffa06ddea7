// Seam: reading one numbered text from the program's string table.
// string_table_win32.cpp loads it from the resources; string_table_builtin.cpp
// compiles the same list into the native build.
#pragma once

#include <cstddef>

// Copies text `id` into buf (cut to fit); returns its length, 0 when absent.
int ReadStringTable(int id, char* buf, size_t size);
