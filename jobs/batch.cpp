// Building batches from the program's sources of files, and reading list
// files into entries.
#include "batch.h"

#include "command_line.h"
#include "../common/bounded_text.h"
#include "../common/code_pages.h"
#include "../common/file_system.h"
#include "../common/messages.h"
#include "../common/paths.h"
#include "../common/utf8.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace {

Batch BatchOf(std::vector<std::string> names, WindowRef owner) {
    Batch batch;
    batch.owner = owner;
    batch.echoToLog = EchoToLog;
    for (std::string& name : names) {
        batch.entries.emplace_back();
        batch.entries.back().name.swap(name);
    }
    return batch;
}

// A file argument as the runner gets it: its full long path, except for a
// list-file reference and a name too long for any path, which the runner
// refuses whole.
std::string FileArgument(const std::string& argument) {
    const char* resolved =
        std::strchr(argument.c_str(), '@') ? nullptr : ResolvePath(argument.c_str(), true);
    return resolved ? resolved : argument;
}

// The Open dialog's texts: one path, or a directory and names.
std::vector<std::string> SplitSelection(const char* buffer) {
    std::vector<std::string> texts;
    for (const char* text = buffer; *text; text += std::strlen(text) + 1)
        texts.push_back(text);
    return texts;
}

enum ListLine { kNoLine, kLineRead, kLineTooLong };

// After a line that filled the buffer: whether it ends there (LF, CR LF or
// the end of the file). The line end, or the rest of the line, is consumed.
bool LineEndsHere(FILE* file) {
    int c = std::fgetc(file);
    if (c == '\r')
        c = std::fgetc(file);
    if (c == '\n' || c == EOF)
        return true;
    while (c != '\n' && c != EOF)
        c = std::fgetc(file);
    return false;
}

// Reads the next line of a list file. A line longer than any path is passed
// over whole: read in pieces, it would name files nobody named. A CR before
// the LF goes too: a list written on Windows and read where the runtime
// keeps CRs still names the same files.
ListLine ReadListLine(FILE* file, char* buffer) {
    if (!std::fgets(buffer, kPathSize, file))
        return kNoLine;
    size_t n = std::strlen(buffer);
    if (n > 0 && buffer[n - 1] == '\n')
        buffer[--n] = '\0';
    else if (n == kPathSize - 1 && !LineEndsHere(file))
        return kLineTooLong;
    if (n > 0 && buffer[n - 1] == '\r')
        buffer[--n] = '\0';
    return kLineRead;
}

// A list file that is UTF-8 may begin with its byte-order mark.
const char* AfterByteOrderMark(const char* line) {
    return std::strncmp(line, "\xEF\xBB\xBF", 3) == 0 ? line + 3 : line;
}

// The list's lines in UTF-8: as they are when the whole list is UTF-8, else
// from the ANSI code page.
void ConvertFromAnsi(std::vector<BatchEntry>* lines) {
    for (BatchEntry& line : *lines) {
        if (line.overlong || !HasNonAscii(line.name.c_str()))
            continue;
        char converted[kPathSize];
        if (Utf8FromAnsi(line.name.c_str(), converted, sizeof converted))
            line.name = converted;
        else
            line.overlong = true;
    }
}

} // namespace

Batch CommandLineBatch(const std::vector<std::string>& files, WindowRef owner,
                       bool deleteAfterPrint) {
    std::vector<std::string> paths;
    for (const std::string& file : files)
        paths.push_back(FileArgument(file));
    Batch batch = BatchOf(paths, owner);
    batch.deleteAfterPrint = deleteAfterPrint;
    return batch;
}

Batch OpenSelectionBatch(const char* selection, WindowRef owner) {
    std::vector<std::string> texts = SplitSelection(selection);
    if (texts.size() <= 1)
        return BatchOf(texts, owner);
    // Built as strings: the runner refuses a path too long for its buffers
    // with its usual message, so nothing here has to cut it.
    std::string directory = texts[0];
    if (directory.back() != '\\')
        directory += '\\';
    std::vector<std::string> paths;
    for (size_t i = 1; i < texts.size(); ++i)
        paths.push_back(directory + texts[i]);
    return BatchOf(paths, owner);
}

Batch DroppedFilesBatch(const std::vector<std::string>& names, WindowRef owner) {
    return BatchOf(names, owner);
}

Batch SingleFileBatch(const std::string& path, WindowRef owner) {
    return BatchOf({path}, owner);
}

Batch SpooledFileBatch(const std::string& path) {
    Batch batch = BatchOf({path}, nullptr);
    batch.unattended = true;
    return batch;
}

bool ReadListFile(const char* path, std::vector<BatchEntry>* lines) {
    lines->clear();
    FILE* file = OpenStream(path, "r");
    if (!file) {
        ShowMessage(kTextListFileOpenFailed, path, errno, kMessageError);
        return false;
    }
    char line[kPathSize];
    bool utf8 = true;
    ListLine read;
    while ((read = ReadListLine(file, line)) != kNoLine) {
        lines->emplace_back();
        BatchEntry& entry = lines->back();
        entry.name = line;
        // A line too long to be read whole is refused in any encoding.
        entry.overlong = read == kLineTooLong;
        const char* text = lines->size() == 1 ? AfterByteOrderMark(line) : line;
        if (!entry.overlong && !IsUtf8(text, std::strlen(text)))
            utf8 = false;
    }
    std::fclose(file);
    // The mark belongs to a UTF-8 list; in an ANSI one those are letters.
    if (!utf8)
        ConvertFromAnsi(lines);
    else if (!lines->empty() && !lines->front().overlong)
        lines->front().name = AfterByteOrderMark(lines->front().name.c_str());
    return true;
}

EntryOutcome OutcomeOf(DispatchResult result) {
    switch (result) {
    case kPrinted:
        return kEntryPrinted;
    case kNotPrintedByChoice:
        return kEntryNotPrinted;
    case kPrintFailed:
        break;
    }
    return kEntryFailed;
}
