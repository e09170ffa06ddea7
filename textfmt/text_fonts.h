// The one way text printing makes a font, and the rule that fills its record.
#pragma once

#include "text_device.h"

void FillTextFontSpec(const char* face, int height, int width, bool bold, bool italic,
                      bool underline, TextFontSpec* request);
// None when the platform refuses; the caller deletes it with DeleteTextFont.
FontRef CreateTextFont(const char* face, int height, int width, bool bold, bool italic,
                       bool underline);
