// The message service: the one way any part of the program reports a failure,
// warns, or asks a yes/no question, and the loader of the numbered texts.
#pragma once

#include "text_ids.h"

#include <string>
#include <vector>

enum MessageKind { kMessageError = 0, kMessageWarning = 1, kMessageQuestion = 2 };

// Answers as the platform's message box gives them.
enum MessageAnswer { kAnswerOk = 1, kAnswerYes = 6, kAnswerNo = 7 };

// Loads text `id` into one shared buffer of 1000 characters and returns it; the
// next call overwrites it. A missing id gives the empty text.
const char* LoadText(int id);

// Shows message `id` formatted with `argument` and, when osError is non-zero,
// the standard library's text for it; logs it with the prefix "* "; returns the
// answer. kind: kMessageError (any value below 1), kMessageWarning, kMessageQuestion.
int ShowMessage(int id, const char* argument, int osError, int kind);
// The same with the text of the reason given (a system's error text that is
// no standard library error number), for the message's second "%s".
int ShowMessageWithReason(int id, const char* argument, const char* reason, int kind);

// Builds what ShowMessage shows, without showing it (both buffers kMessageSize).
void FormatMessageText(int id, const char* argument, int osError, int kind, char* title,
                       char* text);

// The messages of one attempt at a file, for a caller that tries it again
// later (the spooler). While a record is open, ShowMessage keeps the text of
// each error and warning; one whose text is among `repeated` (what the last
// attempt at the file said) is neither logged nor shown again: that reason
// has been reported. Questions are always asked. Records do not nest.
void BeginMessageRecord(const std::vector<std::string>& repeated);
// Closes the record: the texts kept, in order, shown or not.
std::vector<std::string> EndMessageRecord();
