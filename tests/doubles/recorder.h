// Test doubles record what the code under test asked of the platform and of
// other parts of the program, as lines of text in one list, so that a test can
// state the order of events across seams.
#pragma once

#include <cstdio>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

extern std::vector<std::string> RecordedCalls;

struct ShownBox {
    std::string title;
    std::string text;
    int kind;
};
extern std::vector<ShownBox> ShownBoxes;
// The texts of the boxes shown, in order.
std::vector<std::string> ShownTexts();

// Clears every record and scripted answer of every double.
void ResetDoubles();
// The next message box returns `answer` (a MessageAnswer); unscripted boxes
// answer OK, or No for a question (its default button).
void QueueMessageAnswer(int answer);
// The answer queued next, or `unscripted` when none is (recorder.cpp).
int NextQueuedAnswer(int unscripted);

// Scripted results of the other parts' doubles.
struct OtherPartsScript {
    bool dispatchSucceeds = true;
    std::string dispatchFailsFor; // a path containing this text fails
    std::string failureReason;    // and says so: message 9 with this printer name
    std::string dispatchSkipsFor; // one containing this text is not printed by choice
    bool printerDialogConfirmed = true;
    bool settingsDialogConfirmed = true;
    bool stopDuringDispatch = false;          // raises StopRequested inside DispatchFile
    bool dispatching = false;                 // true while DispatchFile pumps
    int deviceCopies = 1;                     // the selected printer's copies (/#:)
    std::vector<std::string> finishedEntries; // "printed a.txt", as the runner reports them
    bool clipboardReadable = true;            // ReadClipboardText succeeds
    std::string clipboardText;                // what it reads; empty: no text on the clipboard
    std::string dispatchedBytes;              // filled by DispatchFile: the content it was given
    std::vector<int> dispatchedKinds;         // filled by DispatchFile: each file's FileKind
    std::function<void()> duringPump;         // run once by the next PumpMessages
    std::string holdDuringDispatch;           // DispatchFile leaves a path containing this open,
    FILE* heldFile = nullptr;                 // here, for the test to close
    // This machine's clock (milliseconds), and the last writes by file name
    // on the file server's clock, which is another; files not listed were
    // written at time 0.
    long long localClock = 100000000;
    std::map<std::string, long long> writeTimes;
    long long serverLockLimit = 0x7FFFFFFFFFFFFFFFLL; // locks from here on are refused
    std::vector<unsigned> claimLocks;                 // the lock offsets of each claim taken
    std::set<std::string> undeletable;                // file names the spooler cannot delete
    std::set<std::string> unmovable;                  // file names the spooler cannot move
    std::set<std::string> takenElsewhere;             // file names another instance holds
    std::multiset<std::string> claimsHeld;            // file names the spooler holds now
    std::function<void()> beforeClaim;                // run once by the next claim, before it looks
    std::vector<int> dispatchedLines; // filled by DispatchFile: Lines of the set in force
};
extern OtherPartsScript OtherParts;
