// The help viewers of Windows: WinHelp for a ".hlp" file, the shell's
// browser for the HTML page.
#include "help_viewer.h"

#include <windows.h>
#include <shellapi.h>
#include <shlwapi.h>

#include <string>

#include "window_parts_win32.h"
#include "../common/wide_names_win32.h"

namespace {

bool Started(HINSTANCE result) {
    // ShellExecute reports success as a value above 32.
    return reinterpret_cast<INT_PTR>(result) > 32;
}

} // namespace

bool RunWinHelp(WindowRef owner, const char* helpFile, int context) {
    // The program's directory, and so the help file's path, is UTF-8.
    return WinHelpW(AsWindow(owner), WideName(helpFile).c_str(), HELP_CONTEXT,
                    static_cast<ULONG_PTR>(context)) != 0;
}

void QuitWinHelp(WindowRef owner) {
    WinHelpA(AsWindow(owner), "", HELP_QUIT, 0);
}

bool OpenUrlInBrowser(WindowRef owner, const char* url) {
    // Given a file URL, the shell opens the file through the ".html"
    // association and drops the "#anchor". The browser registered for web
    // addresses takes the whole URL as its argument; only without one does
    // the page open at its top.
    WCHAR browser[MAX_PATH];
    DWORD size = MAX_PATH;
    if (AssocQueryStringW(ASSOCF_NOTRUNCATE, ASSOCSTR_EXECUTABLE, L"http", L"open", browser,
                          &size) == S_OK) {
        std::string argument = std::string("\"") + url + "\"";
        if (Started(ShellExecuteW(AsWindow(owner), L"open", browser,
                                  WideName(argument.c_str()).c_str(), nullptr, SW_SHOWNORMAL)))
            return true;
    }
    return Started(ShellExecuteW(AsWindow(owner), L"open", WideName(url).c_str(), nullptr, nullptr,
                                 SW_SHOWNORMAL));
}
