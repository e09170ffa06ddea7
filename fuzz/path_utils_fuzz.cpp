// Path, text and line-reading utilities on arbitrary bytes. Layout of the
// input: a selector byte, a size byte, then the text; the text is also taken
// apart at its first two NULs into token and replacement, and read as a file.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "common/bounded_text.h"
#include "common/line_reader.h"
#include "common/paths.h"
#include "common/text_utils.h"

static void Check(bool condition) {
    if (!condition)
        abort();
}

static std::string Selector(uint8_t bits) {
    static const char* const kWords[] = {"drive", "dir", "name", "ext"};
    std::string selector;
    for (int i = 0; i < 4; ++i) {
        if (bits & (1 << i))
            selector += std::string(kWords[i]) + (bits & 0x10 ? " " : ",");
    }
    return selector;
}

static void TakeApartPaths(const std::string& text, uint8_t bits) {
    const char* path = text.c_str();
    Check(strlen(PathComponents(path, Selector(bits).c_str())) <= kPathChars);
    if (strlen(path) <= kPathChars)
        Check(strcmp(PathComponents(path, "drive,dir,name,ext"), path) == 0);
    Check(strlen(FileNameOf(path)) <= kPathChars);
    Check(strlen(FirstWordComponents(path, Selector(bits >> 4).c_str())) <= kPathChars);
    Check(strlen(DocumentTitle(path)) <= kPathChars);
}

static void ReplaceTokens(const std::string& text, const std::string& token,
                          const std::string& replacement) {
    char buffer[260];
    CopyText(buffer, sizeof buffer, text.c_str());
    std::string before = buffer;
    if (ReplaceFirst(buffer, token.c_str(), replacement.c_str()))
        Check(strlen(buffer) < sizeof buffer);
    else
        Check(before == buffer);

    char list[260];
    CopyText(list, sizeof list, text.c_str());
    size_t length = strlen(list);
    SplitAtSeparator(list, token.empty() ? '|' : token[0]);
    UpperCase(list);
    Check(strlen(list) <= length);
}

static void FillBuffers(const std::string& text, uint8_t size) {
    char* buffer = static_cast<char*>(malloc(size ? size : 1));
    if (!buffer)
        return;
    bool copied = CopyText(buffer, size, text.c_str());
    if (size > 0) {
        Check(strlen(buffer) < size);
        Check(copied == (text.size() < size));
        AppendText(buffer, size, text.c_str());
        Check(strlen(buffer) < size);
        FormatText(buffer, size, "%s-%s", text.c_str(), text.c_str());
        Check(strlen(buffer) < size);
    }
    free(buffer);
}

static void ReadLines(const uint8_t* data, size_t size) {
    if (size == 0)
        return;
    FILE* file = fmemopen(const_cast<uint8_t*>(data), size, "rb");
    if (!file)
        return;
    DetectLineEnds(file);
    Check(ftell(file) == 0);
    char line[255];
    while (ReadLine(line, file))
        Check(strlen(line) <= 254);
    fclose(file);
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 2)
        return 0;
    uint8_t bits = data[0];
    uint8_t bufferSize = data[1];
    std::string text(reinterpret_cast<const char*>(data + 2), size - 2);

    std::string first = text.c_str();
    size_t second = first.size() + 1;
    std::string token = second < text.size() ? text.c_str() + second : "";
    size_t third = second + token.size() + 1;
    std::string replacement = third < text.size() ? text.c_str() + third : "";

    TakeApartPaths(first, bits);
    ReplaceTokens(first, token, replacement);
    FillBuffers(first, bufferSize);
    FormatSize(static_cast<long long>(bits) << (bufferSize % 40));
    ReadLines(data + 2, size - 2);
    return 0;
}
