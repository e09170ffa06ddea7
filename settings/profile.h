// Seam: the settings file, read and written by section and key with the
// semantics of the platform's private-profile functions. profile_win32.cpp
// calls those functions; profile_ini.cpp keeps the same file format on systems
// without them. A bare file name (no "\" or "/") lives in the Windows directory.
#pragma once

// Copies the value of `key` in `section`, or `defaultValue` when the key is
// absent, into buf (cut to size - 1 characters) and returns its length. Blanks
// round a value are dropped, and one pair of matching quotes round it too.
// With no key, fills buf with the names of the section's keys in file order,
// each ending with a NUL, followed by one more NUL; when they do not all fit
// the last one is cut and the result is size - 2.
int ReadProfileValue(const char* section, const char* key, const char* defaultValue, char* buf,
                     int size, const char* file);

// Sets `key` of `section` to `value`, adding the section and the key at the
// end when they are new. No value deletes the key; no key deletes the whole
// section. The file is rewritten only when something changed. With no
// section, key or value it only forgets what the platform may have cached of
// the file: call it after changing the file by other means.
bool WriteProfileValue(const char* section, const char* key, const char* value, const char* file);

// An integer of the system's own profile (for example "intl", "iMeasure").
int ReadSystemProfileInt(const char* section, const char* key, int defaultValue);

// Built on ReadProfileValue (settings_store.cpp): the names of the keys of
// `section` that fit whole into buf, each with its NUL, then an empty name.
// A name that may have been cut is left out: it would name some other key.
int ReadWholeKeyNames(const char* section, char* buf, int size, const char* file);
