/* A conversion program for the end-to-end tests:
 *
 *   converter [--prefix TEXT] [--hex] [--empty] [--sleep MS] [--exit N] [--where FILE]
 *             INPUT OUTPUT
 *
 * writes TEXT followed by INPUT's bytes to OUTPUT (as hexadecimal digits with --hex, nothing
 * at all with --empty), after
 * sleeping MS milliseconds, and exits with N. --where writes the working directory to FILE.
 * An argument "@FILE" is replaced by the blank-separated words of FILE, the way programs
 * with short command lines read a response file. When RVL_ARGS_LOG names a file, the
 * arguments as received are first added to it: a line "converter", one line "[ARG]" each,
 * and a line "end". On Windows it takes its arguments from the wide command line (split by
 * the same rules) and holds them in UTF-8, so that names outside the ANSI code page arrive
 * whole; a name that is not UTF-8 (from a response file) is read in the ANSI code page. */
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#ifdef _WIN32
#include <direct.h>
#include <windows.h>
#define getcwd _getcwd
#else
#include <unistd.h>
#endif

#define MAX_WORDS 64

#ifdef _WIN32
static FILE* OpenPath(const char* path, const char* mode) {
    wchar_t widePath[4096], wideMode[8];
    if (!MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, path, -1, widePath, 4096) &&
        !MultiByteToWideChar(CP_ACP, 0, path, -1, widePath, 4096))
        return NULL;
    MultiByteToWideChar(CP_UTF8, 0, mode, -1, wideMode, 8);
    return _wfopen(widePath, wideMode);
}
#define fopen OpenPath
#endif

static char* words[MAX_WORDS];
static int wordCount;
static char response[8192];

static void Add(char* word) {
    if (wordCount < MAX_WORDS)
        words[wordCount++] = word;
}

static void AddResponseFile(const char* path) {
    FILE* file = fopen(path, "rb");
    size_t n = file ? fread(response, 1, sizeof response - 1, file) : 0;
    char* word;
    if (file)
        fclose(file);
    response[n] = 0;
    for (word = strtok(response, " \t\r\n"); word; word = strtok(NULL, " \t\r\n"))
        Add(word);
}

static void LogArguments(int argc, char** argv) {
    const char* path = getenv("RVL_ARGS_LOG");
    FILE* log = path && *path ? fopen(path, "ab") : NULL;
    int i;
    if (!log)
        return;
    fputs("converter\r\n", log);
    for (i = 1; i < argc; i++)
        fprintf(log, "[%s]\r\n", argv[i]);
    fputs("end\r\n", log);
    fclose(log);
}

static void Pause(int ms) {
#ifdef _WIN32
    Sleep((DWORD)ms);
#else
    usleep((useconds_t)ms * 1000);
#endif
}

static int Main(int argc, char** argv) {
    const char* prefix = "";
    const char* where = NULL;
    int empty = 0, hex = 0, sleepMs = 0, code = 0, i;
    const char* input = NULL;
    const char* output = NULL;
    LogArguments(argc, argv);
    for (i = 1; i < argc; i++) {
        if (argv[i][0] == '@')
            AddResponseFile(argv[i] + 1);
        else
            Add(argv[i]);
    }
    for (i = 0; i < wordCount; i++) {
        if (strcmp(words[i], "--prefix") == 0 && i + 1 < wordCount)
            prefix = words[++i];
        else if (strcmp(words[i], "--hex") == 0)
            hex = 1;
        else if (strcmp(words[i], "--empty") == 0)
            empty = 1;
        else if (strcmp(words[i], "--sleep") == 0 && i + 1 < wordCount)
            sleepMs = atoi(words[++i]);
        else if (strcmp(words[i], "--exit") == 0 && i + 1 < wordCount)
            code = atoi(words[++i]);
        else if (strcmp(words[i], "--where") == 0 && i + 1 < wordCount)
            where = words[++i];
        else if (!input)
            input = words[i];
        else
            output = words[i];
    }
    if (sleepMs > 0)
        Pause(sleepMs);
    if (where) {
        char directory[1024];
        FILE* file = fopen(where, "wb");
        if (file && getcwd(directory, sizeof directory))
            fputs(directory, file);
        if (file)
            fclose(file);
    }
    if (!input || !output) {
        fprintf(stderr, "usage: converter [options] INPUT OUTPUT\n");
        return 2;
    }
    if (!empty) {
        FILE* in = fopen(input, "rb");
        FILE* out = fopen(output, "wb");
        char buffer[65536];
        size_t n;
        if (!in || !out)
            return 3;
        fputs(prefix, out);
        while ((n = fread(buffer, 1, sizeof buffer, in)) > 0) {
            size_t k;
            if (!hex)
                fwrite(buffer, 1, n, out);
            for (k = 0; hex && k < n; k++)
                fprintf(out, "%02x", (unsigned char)buffer[k]);
        }
        fclose(in);
        if (fclose(out) != 0)
            return 3;
    }
    return code;
}

#ifdef _WIN32
int wmain(int argc, wchar_t** wideArgv) {
    char** argv = (char**)calloc((size_t)argc + 1, sizeof(char*));
    int i;
    if (!argv)
        return 3;
    for (i = 0; i < argc; i++) {
        int size = WideCharToMultiByte(CP_UTF8, 0, wideArgv[i], -1, NULL, 0, NULL, NULL);
        argv[i] = (char*)malloc(size > 0 ? (size_t)size : 1);
        if (!argv[i])
            return 3;
        argv[i][0] = 0;
        WideCharToMultiByte(CP_UTF8, 0, wideArgv[i], -1, argv[i], size, NULL, NULL);
    }
    return Main(argc, argv);
}
#else
int main(int argc, char** argv) {
    return Main(argc, argv);
}
#endif
