#include "text_fonts.h"

#include <cstring>

#include "../common/bounded_text.h"

void FillTextFontSpec(const char* face, int height, int width, bool bold, bool italic,
                      bool underline, TextFontSpec* request) {
    memset(request, 0, sizeof *request);
    // The platform's record holds 31 characters; a longer name is cut there.
    CopyText(request->face, sizeof request->face, face ? face : "");
    request->height = height;
    request->width = width;
    request->weight = bold ? 900 : 0;
    request->italic = italic;
    request->underline = underline;
    // The line-drawing face keeps its glyphs only under the symbol set.
    request->charSet = face && strstr(face, "MS LineDraw") ? 2 : 0;
    request->pitchAndFamily = 48; // modern family, default pitch
}

FontRef CreateTextFont(const char* face, int height, int width, bool bold, bool italic,
                       bool underline) {
    TextFontSpec request;
    FillTextFontSpec(face, height, width, bold, italic, underline, &request);
    return CreateFontFromSpec(request);
}
