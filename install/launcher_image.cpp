// Finding the command area of the launcher image and building its command.
#include "launcher_image.h"

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "../common/bounded_text.h"
#include "../common/file_system.h"

namespace {

const char kMarker[] = "Static data begins here:";

const unsigned char* FindMarker(const unsigned char* from, const unsigned char* end) {
    const size_t length = sizeof kMarker - 1;
    for (const unsigned char* p = from; end - p >= static_cast<ptrdiff_t>(length); ++p) {
        if (std::memcmp(p, kMarker, length) == 0)
            return p;
    }
    return nullptr;
}

// The value in quotes as the C runtime reads them back: a quote inside is
// written \", and backslashes double where a quote follows them, so that a
// value such as Draft\ does not take its closing quote for a character and
// run on into the files that follow.
bool AppendQuoted(char* out, size_t size, const char* qualifier, const char* value) {
    std::string text = qualifier;
    text += '"';
    size_t slashes = 0;
    for (const char* p = value; *p; ++p) {
        if (*p == '\\') {
            ++slashes;
        } else {
            if (*p == '"')
                text.append(slashes + 1, '\\');
            slashes = 0;
        }
        text += *p;
    }
    text.append(slashes, '\\');
    text += '"';
    return AppendText(out, size, text.c_str());
}

bool IsDeviceWord(const std::string& word) {
    for (const char* device : {"CON", "PRN", "AUX", "NUL"}) {
        if (CompareNoCase(word.c_str(), device) == 0)
            return true;
    }
    return word.size() == 4 &&
           (StartsWithNoCase(word.c_str(), "COM") || StartsWithNoCase(word.c_str(), "LPT")) &&
           word[3] >= '1' && word[3] <= '9';
}

} // namespace

bool FindCommandArea(const unsigned char* image, size_t size, size_t* offset) {
    if (!image)
        return false;
    const unsigned char* end = image + size;
    const unsigned char* found = FindMarker(image, end);
    if (!found || FindMarker(found + 1, end))
        return false;
    size_t at = static_cast<size_t>(found - image);
    if (size - at < kCommandAreaChars + 1)
        return false;
    *offset = at;
    return true;
}

bool BuildLauncherCommand(const char* programPath, const char* settingsFile, const char* setName,
                          char* out, size_t size) {
    bool quote = std::strchr(programPath, ' ') != nullptr;
    bool ok = CopyText(out, size, quote ? "\"" : "") && AppendText(out, size, programPath) &&
              AppendText(out, size, quote ? "\"" : "");
    if (ok && !StartsWithNoCase(settingsFile, "ravlen.ini"))
        ok = AppendQuoted(out, size, " /i:", settingsFile);
    ok = ok && AppendQuoted(out, size, " /n:", setName);
    if (!ok && size > 0)
        out[0] = '\0';
    return ok;
}

bool HasShortcutNameCharsOnly(const char* name) {
    return name[0] != '\0' && std::strpbrk(name, "\\/?*|<>:\"") == nullptr;
}

bool IsDeviceName(const char* name) {
    // The system takes the name before the first dot, less trailing blanks:
    // "nul.txt" and "CON .exe" are devices too.
    std::string word(name, std::strcspn(name, "."));
    while (!word.empty() && word.back() == ' ')
        word.pop_back();
    return IsDeviceWord(word);
}

bool WriteLauncherImage(const char* path, const unsigned char* image, size_t size,
                        const char* command) {
    size_t offset = 0;
    size_t length = std::strlen(command);
    if (!FindCommandArea(image, size, &offset) || length > kCommandAreaChars)
        return false;
    // The command goes into a copy, so the file is written in one piece.
    std::vector<unsigned char> filled(image, image + size);
    std::memcpy(filled.data() + offset, command, length + 1);
    FILE* file = OpenStream(path, "wb");
    if (!file)
        return false;
    bool written = std::fwrite(filled.data(), 1, size, file) == size;
    bool closed = std::fclose(file) == 0;
    if (written && closed)
        return true;
    RemoveFile(path);
    return false;
}
