// Seam: what the spooler asks of a file before it dares to print it, the
// claim that keeps it for this instance while it prints, and its deletion
// afterwards. spool_files_win32.cpp reads the file system's times and holds
// the file open; the native tests play a clock of their own, other instances
// and a file that will not go (tests/doubles/spool_files_recorder.cpp).
#pragma once

// A file's size and last write, in milliseconds on the clock of
// CurrentFileTime.
struct FileStamp {
    long long size;
    long long writeTime;
};

// False when the file's status cannot be read (it has gone, for instance).
bool ReadFileStamp(const char* path, FileStamp* stamp);
long long CurrentFileTime();

// A file this instance has taken. While the claim is held, other instances
// skip the file and other programs cannot write to it; the program's own
// reads and copies are not hindered. Several spoolers, on one machine or on
// several sharing the directory, so never print the same file at once.
struct SpoolClaim {
    void* handle = nullptr;       // the platform's hold on the file; none when empty
    FileStamp stamp = {0, 0};     // the file as taken
    unsigned long volume = 0;     // which file it is: its volume
    unsigned long long index = 0; // and its number there
};

// Takes the file. False, silently, when another instance has it, another
// program is writing it, it is read-only, or it has gone.
bool ClaimSpooledFile(const char* path, SpoolClaim* claim);
// Lets the file go without deleting it; nothing for an empty claim.
void ReleaseSpoolClaim(SpoolClaim* claim);

enum ClaimedDeletion {
    kClaimDeleted,   // gone once the claim is released
    kClaimChanged,   // the name now holds other content: it stays, to print later
    kClaimNotDeleted // the deletion failed; errno says why
};
// Deletes the claimed file, but only while `path` still names the very file
// taken and its size and last write are as they were when it was taken.
ClaimedDeletion DeleteClaimedFile(const char* path, const SpoolClaim& claim);

enum ClaimedMove {
    kClaimMoved,        // the file is at `target`, whole, and gone from `path`
    kClaimTargetExists, // `target` names a file already: nothing moved
    kClaimMoveChanged,  // the name now holds other content: it stays, to print later
    kClaimNotMoved      // the file stays where it was; errno says why
};
// Moves the claimed file, unchanged, to `target` (another directory, on
// this volume or another), but only while `path` still names the very file
// taken with the size and last write it had then; an existing file is never
// replaced. The claim is still to be released afterwards.
ClaimedMove MoveClaimedFile(const char* path, const SpoolClaim& claim, const char* target);
