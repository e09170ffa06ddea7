// Small text operations shared by the program.
#pragma once

// Replaces the first `token` in `text` (a buffer of at least 260 bytes) by
// `replacement`; refuses, leaving `text` unchanged, when the result would
// not stay below 260 characters. False when the token is absent or refused.
bool ReplaceFirst(char* text, const char* token, const char* replacement);
// Turns every `separator` into NUL (a "a|b|" list into "a\0b\0").
void SplitAtSeparator(char* text, char separator);
void UpperCase(char* text);
char* DuplicateText(const char* text); // free() it; none when out of memory
