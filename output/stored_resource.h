// Seam: the raw data stored in the program (the PostScript procedure sets).
// stored_resource_win32.cpp reads the program's RCDATA resources; the native
// build compiles the same files in (stored_resource_builtin.cpp, generated).
#pragma once

#include <cstddef>

enum StoredResourceId { kResourceNupProcSet = 142, kResourceEpsProcSet = 148 };

// The bytes of resource `id`, valid for the program's lifetime; false when
// it cannot be found or loaded.
bool LoadStoredResource(int id, const char** data, size_t* size);
