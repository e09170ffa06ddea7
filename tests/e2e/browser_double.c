/* browser_double: stands in for the user's web browser in the end-to-end bench. The bench
 * registers it as the program that opens web addresses; each address it is given is appended
 * as a JSON line to the file named by WINAUTO_SHOWN, which the program under test inherits
 * from winauto, so the address lands in the run's record beside the windows. */
#include <windows.h>
#include <stdio.h>

int main(int argc, char** argv) {
    char path[MAX_PATH];
    DWORD n = GetEnvironmentVariableA("WINAUTO_SHOWN", path, sizeof path);
    if (n == 0 || n >= sizeof path)
        return 1;
    FILE* out = fopen(path, "a");
    if (!out)
        return 1;
    fputs("{\"event\":\"browser\",\"args\":[", out);
    for (int i = 1; i < argc; i++) {
        fputs(i > 1 ? ",\"" : "\"", out);
        for (const unsigned char* p = (const unsigned char*)argv[i]; *p; p++) {
            if (*p == '"' || *p == '\\')
                fprintf(out, "\\%c", *p);
            else if (*p < 0x20 || *p > 0x7e)
                fprintf(out, "\\u%04x", *p);
            else
                fputc(*p, out);
        }
        fputc('"', out);
    }
    fputs("]}\n", out);
    fclose(out);
    return 0;
}
