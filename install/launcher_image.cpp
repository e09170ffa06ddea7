// Finding the command area of the launcher image and building its command.
#include "launcher_image.h"

#include <cstdio>
#include <cstring>
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

bool AppendQuoted(char* out, size_t size, const char* qualifier, const char* value) {
    return AppendText(out, size, qualifier) && AppendText(out, size, "\"") &&
           AppendText(out, size, value) && AppendText(out, size, "\"");
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
