// Seam: text between the program's UTF-8 and the system's ANSI and OEM code
// pages, the one place where a text changes its encoding at a boundary.
//
// Names and texts are UTF-8 inside the program. Some places outside it keep
// the ANSI code page: the settings file (its sets, paths, templates and
// headers), the dialogs' fields, generated PostScript, the program manager's
// commands. cmd.exe reads the removal batch in the OEM code page. Whatever
// crosses to one of them is converted here, at the crossing, by what the text
// is and where it came from, never by a guess from its bytes: under the
// double-byte code pages many ANSI names happen to be valid UTF-8 as well.
//
// code_pages_win32.cpp asks the system; code_pages_posix.cpp serves the native
// build with Latin-1 for the ANSI code page and code page 437 for the OEM one.
#pragma once

#include <cstddef>
#include <string>

// `utf8` in the ANSI code page, with "?" for each character the code page
// does not hold exactly (no look-alike letter, which could name another
// file). False when there was any such character, or when the result does not
// fit (then `out` is empty).
bool AnsiNameOf(const char* utf8, char* out, size_t size);
// The same, sized to fit: the text with its stand-ins whatever it held.
std::string AnsiTextOf(const char* utf8);

// Text of the ANSI code page in UTF-8; false, with `out` empty, when it does
// not fit.
bool Utf8FromAnsi(const char* ansi, char* out, size_t size);
// The same, sized to fit.
std::string Utf8OfAnsi(const char* ansi);

// `utf8` in the OEM code page; false, with `out` empty, when a character has
// no exact form there or the result does not fit.
bool OemTextOf(const char* utf8, char* out, size_t size);
