// The Win32 side of the seams takes the program's UTF-8 names and gives the
// system's UTF-16, and back. Only *_win32.cpp files include this.
#pragma once

#include <windows.h>

#include <cstddef>
#include <string>

// The UTF-16 form of a name held by the program. The program's names are
// UTF-8 whatever their source (an ANSI text is converted where it is read,
// code_pages.h); bytes that are not UTF-8 name no file, and give an empty
// name.
std::wstring WideName(const char* name);
// The UTF-16 form of a text that is only shown (a message, a title, a
// document name): bytes that are not UTF-8 show as U+FFFD.
std::wstring WideText(const char* text);

// The program's UTF-8 form of a name from the system. False, with `out`
// empty, when it does not fit: never a name cut short.
bool NameFromWide(const WCHAR* wide, char* out, size_t size);
bool NameFromWide(const WCHAR* wide, size_t units, char* out, size_t size);
std::string NameFromWide(const WCHAR* wide);

// A list of texts each ended by a zero and the whole by another (the common
// dialogs' filters and selections), each text converted as above. False,
// with `out` empty, when the list does not fit.
std::wstring WideNameList(const char* list);
bool NameListFromWide(const WCHAR* list, char* out, size_t size);

// Sets the text of one of the program's windows (ANSI windows: their dialogs
// come from the ANSI calls). A text the ANSI code page holds is set through
// the ANSI call, which keeps such windows exactly as an ANSI program shows
// them; one with other letters is stored in UTF-16 by the default window
// procedure, which a caption and a static control draw from, since through
// the window's own procedure it would be brought down to the code page.
void SetWindowName(HWND window, const char* text);
// The text of a window (a dialog's edit field, say) in UTF-8; false, with
// `out` empty, when it does not fit.
bool WindowNameOf(HWND window, char* out, size_t size);
// Sets the text of a dialog's edit field.
void SetFieldName(HWND field, const char* text);
