// Header and footer lines written in "&"-codes: the codes filled once per
// document, and the drawing of a line in left, centred and right runs.
#pragma once

#include "text_device.h"

// A prepared text in UTF-8: at most 255 characters, of up to four bytes each,
// and the zero.
enum { kHeaderChars = 255, kHeaderTextSize = 4 * kHeaderChars + 1 };

// Replaces the first "&p", "&f", "&d" and "&t" of `text` (a kHeaderTextSize
// buffer holding the setting, in the ANSI code page) by the file's directory,
// name, modification time and totalPages; the result is UTF-8, cut after 255
// characters (never inside one).
// A later occurrence of a code is left, to vanish when drawn.
void ExpandDocumentCodes(char* text, const char* fileName, int totalPages);
// Draws one header or footer line with its top at y between the bounds,
// "&#" standing for pageNumber.
void DrawHeaderLine(DeviceContext dc, const char* text, int pageNumber, int left, int y, int right,
                    FontRef font);
