/* The text benchmark's yardstick: the least a Windows program must do to
 * print a text file through GDI. Each line of the file is one row drawn with
 * TextOutA in a fixed font on the default printer, `lines` rows to a page
 * spread over the whole paper, one document for the file.
 *
 *     text_gdi_baseline FILE LINES FACE
 */
#include <windows.h>

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

static HDC DefaultPrinterDC(void) {
    char name[512];
    DWORD size = sizeof name;
    if (!GetDefaultPrinterA(name, &size))
        return NULL;
    return CreateDCA(NULL, name, NULL, NULL);
}

int main(int argc, char** argv) {
    if (argc != 4 || atoi(argv[2]) < 1) {
        fprintf(stderr, "usage: text_gdi_baseline FILE LINES FACE\n");
        return 2;
    }
    int lines = atoi(argv[2]);
    FILE* file = fopen(argv[1], "rb");
    if (!file) {
        perror(argv[1]);
        return 1;
    }
    HDC dc = DefaultPrinterDC();
    if (!dc) {
        fprintf(stderr, "no default printer\n");
        return 1;
    }
    /* From the paper's top edge to its bottom edge, as a text block without
     * margins is. */
    int left = -GetDeviceCaps(dc, PHYSICALOFFSETX);
    int offset = GetDeviceCaps(dc, PHYSICALOFFSETY);
    int height = (GetDeviceCaps(dc, VERTRES) + 2 * offset) / lines;
    LOGFONTA face;
    memset(&face, 0, sizeof face);
    face.lfHeight = height;
    face.lfPitchAndFamily = FF_MODERN;
    strncpy(face.lfFaceName, argv[3], LF_FACESIZE - 1);
    HFONT font = CreateFontIndirectA(&face);

    DOCINFOA info;
    memset(&info, 0, sizeof info);
    info.cbSize = sizeof info;
    info.lpszDocName = "text baseline";
    if (StartDocA(dc, &info) <= 0) {
        fprintf(stderr, "StartDoc failed\n");
        return 1;
    }
    char line[1000];
    int row = 0;
    while (fgets(line, sizeof line, file)) {
        size_t length = strlen(line);
        while (length > 0 && (line[length - 1] == '\n' || line[length - 1] == '\r'))
            --length;
        if (row == 0) {
            StartPage(dc);
            SelectObject(dc, font);
        }
        TextOutA(dc, left, -offset + row * height, line, (int)length);
        if (++row == lines) {
            EndPage(dc);
            row = 0;
        }
    }
    if (row > 0)
        EndPage(dc);
    EndDoc(dc);
    DeleteDC(dc);
    DeleteObject(font);
    fclose(file);
    return 0;
}
