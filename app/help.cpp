// The choice of help viewer and the address of a topic in the HTML page.
#include "help.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "help_viewer.h"
#include "../common/bounded_text.h"
#include "../common/messages.h"
#include "../common/paths.h"

namespace {

const char kHelpPageName[] = "ravlen.html";
// "file:///" + every byte of a path escaped + "#context-" + digits.
const size_t kUrlSize = 3 * kPathSize + 32;

// Bytes that would end the path part of a URL, or be read as an escape.
bool NeedsEscape(unsigned char c) {
    return c <= ' ' || c == '%' || c == '#' || c == '?' || c == '"' || c == 0x7f;
}

bool AppendByte(char* out, size_t size, size_t* used, char c) {
    if (*used + 1 >= size)
        return false;
    out[(*used)++] = c;
    out[*used] = '\0';
    return true;
}

bool AppendUrlPath(char* out, size_t size, size_t* used, const char* path) {
    static const char kHex[] = "0123456789ABCDEF";
    for (const char* p = path; *p; ++p) {
        unsigned char c = static_cast<unsigned char>(*p);
        bool whole;
        if (c == '\\')
            whole = AppendByte(out, size, used, '/');
        else if (NeedsEscape(c))
            whole = AppendByte(out, size, used, '%') && AppendByte(out, size, used, kHex[c >> 4]) &&
                    AppendByte(out, size, used, kHex[c & 15]);
        else
            whole = AppendByte(out, size, used, *p);
        if (!whole)
            return false;
    }
    return true;
}

} // namespace

bool HelpPagePath(const char* helpFilePath, char* out, size_t size) {
    const char* slash = std::strrchr(helpFilePath, '\\');
    const char* colon = std::strrchr(helpFilePath, ':');
    const char* end = slash ? slash + 1 : helpFilePath;
    if (colon && colon + 1 > end)
        end = colon + 1;
    size_t dirLength = static_cast<size_t>(end - helpFilePath);
    if (size == 0 || dirLength + sizeof kHelpPageName > size) {
        if (size)
            out[0] = '\0';
        return false;
    }
    std::memcpy(out, helpFilePath, dirLength);
    std::memcpy(out + dirLength, kHelpPageName, sizeof kHelpPageName);
    return true;
}

bool HelpPageUrl(const char* pagePath, int context, char* out, size_t size) {
    if (size == 0)
        return false;
    // A network path "\\server\share\..." is "file://server/share/...".
    bool unc = pagePath[0] == '\\' && pagePath[1] == '\\';
    bool whole = CopyText(out, size, unc ? "file:" : "file:///");
    size_t used = std::strlen(out);
    whole = whole && AppendUrlPath(out, size, &used, pagePath);
    char anchor[32];
    std::snprintf(anchor, sizeof anchor, "#context-%d", context);
    whole = whole && AppendText(out, size, anchor);
    if (!whole)
        out[0] = '\0';
    return whole;
}

bool ShowHelpTopic(WindowRef owner, int context) {
    if (HelpFilePath[0] && FileExists(HelpFilePath))
        return RunWinHelp(owner, HelpFilePath, context);
    char page[kPathSize];
    if (!HelpPagePath(HelpFilePath, page, sizeof page) || !FileExists(page)) {
        ShowMessage(kTextCouldNotOpen, page, ENOENT, kMessageError);
        return false;
    }
    char url[kUrlSize];
    if (!HelpPageUrl(page, context, url, sizeof url) || !OpenUrlInBrowser(owner, url)) {
        ShowMessage(kTextCouldNotOpen, page, 0, kMessageError);
        return false;
    }
    return true;
}

void CloseHelp(WindowRef owner) {
    QuitWinHelp(owner);
}
