// File associations: extensions bound to the program's class "Ravlen".
#pragma once

extern const char kProgramClass[]; // "Ravlen"

// True when an extension's default value names the program's class (the
// letter case aside). Another program's class, even one whose name begins
// with "Ravlen", is not the program's.
bool IsOwnAssociation(const char* value);

// Binds each extension of `extensions` (NUL-terminated texts ending with an
// empty one) to the program's class, stopping at the first failure, then
// writes the class with its description, open command and icon. The class an
// extension had before is kept beside the binding.
void RegisterFileTypes(const char* extensions, const char* openCommand, const char* icon);

// Unbinds every key bound to the program's class and deletes the class. A key
// whose earlier class was kept gets it back; one that holds more than the
// binding keeps the rest (only its default value goes); a key that cannot be
// changed is passed over, so the scan always ends.
void RemoveFileTypes();
