/* Prints a document of marked pages through the PostScript printer driver
   into a file, so that a driver's own PostScript can be put through n-up and
   page selection. Page k shows MARKkk and k lines. Installs a letter-size
   PostScript printer on the FILE: port the first time.
   Usage: winps_doc.exe OUTPUT PAGES */
#include <windows.h>
#include <stdio.h>
#include <stdlib.h>

static const char printerName[] = "Ravlen check PS";

/* A plain letter-size PostScript printer. */
static const char ppd[] =
    "*PPD-Adobe: \"4.3\"\n*FormatVersion: \"4.3\"\n*LanguageLevel: \"2\"\n"
    "*ModelName: \"Ravlen check\"\n*NickName: \"Ravlen check\"\n"
    "*ColorDevice: False\n*DefaultColorSpace: Gray\n*TTRasterizer: Type42\n"
    "*DefaultResolution: 300dpi\n"
    "*OpenUI *PageSize: PickOne\n*DefaultPageSize: Letter\n"
    "*PageSize Letter/US Letter: \"<</PageSize[612 792]/ImagingBBox null>>setpagedevice\"\n"
    "*CloseUI: *PageSize\n"
    "*OpenUI *PageRegion: PickOne\n*DefaultPageRegion: Letter\n"
    "*PageRegion Letter/US Letter: \"<</PageSize[612 792]/ImagingBBox null>>setpagedevice\"\n"
    "*CloseUI: *PageRegion\n"
    "*DefaultImageableArea: Letter\n*ImageableArea Letter/US Letter: \"18 36 594 756\"\n"
    "*DefaultPaperDimension: Letter\n*PaperDimension Letter/US Letter: \"612 792\"\n"
    "*DefaultFont: Courier\n*Font Courier: Standard \"(002.004S)\" Standard ROM\n"
    "*Font Helvetica: Standard \"(001.006S)\" Standard ROM\n";

static int WritePpd(void) {
    char dir[MAX_PATH], path[MAX_PATH + 16];
    DWORD needed;
    if (!GetPrinterDriverDirectoryA(NULL, NULL, 1, (BYTE*)dir, sizeof dir, &needed))
        return 0;
    CreateDirectoryA(dir, NULL);
    snprintf(path, sizeof path, "%s\\rvlcheck.ppd", dir);
    FILE* f = fopen(path, "wb");
    if (!f)
        return 0;
    fwrite(ppd, 1, sizeof ppd - 1, f);
    return fclose(f) == 0;
}

static int EnsurePrinter(void) {
    HANDLE h;
    if (OpenPrinterA((char*)printerName, &h, NULL)) {
        ClosePrinter(h);
        return 1;
    }
    if (!WritePpd()) {
        fprintf(stderr, "cannot write the PPD\n");
        return 0;
    }
    DRIVER_INFO_3A driver = {0};
    driver.cVersion = 3;
    driver.pName = "Wine PostScript Driver";
    driver.pDriverPath = "wineps.drv";
    driver.pDataFile = "rvlcheck.ppd";
    driver.pConfigFile = "wineps.drv";
    if (!AddPrinterDriverA(NULL, 3, (BYTE*)&driver))
        fprintf(stderr, "AddPrinterDriver: %lu\n", GetLastError());
    PRINTER_INFO_2A info = {0};
    info.pPrinterName = (char*)printerName;
    info.pPortName = "FILE:";
    info.pDriverName = "Wine PostScript Driver";
    info.pPrintProcessor = "WinPrint";
    info.pDatatype = "RAW";
    HANDLE added = AddPrinterA(NULL, 2, (BYTE*)&info);
    if (!added) {
        fprintf(stderr, "AddPrinter: %lu\n", GetLastError());
        return 0;
    }
    ClosePrinter(added);
    return 1;
}

int main(int argc, char** argv) {
    if (argc != 3)
        return 2;
    int pages = atoi(argv[2]);
    if (!EnsurePrinter())
        return 1;
    HDC dc = CreateDCA(NULL, printerName, NULL, NULL);
    if (!dc) {
        fprintf(stderr, "CreateDC: %lu\n", GetLastError());
        return 1;
    }
    DOCINFOA doc = {sizeof doc};
    doc.lpszDocName = "markers";
    doc.lpszOutput = argv[1];
    if (StartDocA(dc, &doc) <= 0) {
        fprintf(stderr, "StartDoc: %lu\n", GetLastError());
        return 1;
    }
    int dpi = GetDeviceCaps(dc, LOGPIXELSY);
    HFONT font =
        CreateFontA(-dpi / 6, 0, 0, 0, FW_NORMAL, 0, 0, 0, ANSI_CHARSET, 0, 0, 0, 0, "Arial");
    for (int k = 1; k <= pages; ++k) {
        StartPage(dc);
        SelectObject(dc, font);
        char line[64];
        snprintf(line, sizeof line, "MARK%02d", k);
        TextOutA(dc, dpi, dpi, line, (int)strlen(line));
        for (int i = 1; i <= k; ++i) {
            snprintf(line, sizeof line, "line %d of page %d", i, k);
            TextOutA(dc, dpi, dpi + i * dpi / 4, line, (int)strlen(line));
        }
        EndPage(dc);
    }
    EndDoc(dc);
    DeleteDC(dc);
    return 0;
}
