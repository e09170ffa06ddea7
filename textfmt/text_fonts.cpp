#include "text_fonts.h"

#include <cstring>

#include "../common/bounded_text.h"

void FillTextFontSpec(const char* face, int height, int width, bool bold, bool italic,
                      bool underline, TextFontSpec* spec) {
    memset(spec, 0, sizeof *spec);
    // The platform's record holds 31 characters; a longer name is cut there.
    CopyText(spec->face, sizeof spec->face, face ? face : "");
    spec->height = height;
    spec->width = width;
    spec->weight = bold ? 900 : 0;
    spec->italic = italic;
    spec->underline = underline;
    // The line-drawing face keeps its glyphs only under the symbol set.
    spec->charSet = face && strstr(face, "MS LineDraw") ? 2 : 0;
    spec->pitchAndFamily = 48; // modern family, default pitch
}

FontRef CreateTextFont(const char* face, int height, int width, bool bold, bool italic,
                       bool underline) {
    TextFontSpec spec;
    FillTextFontSpec(face, height, width, bold, italic, underline, &spec);
    return CreateFontFromSpec(spec);
}
