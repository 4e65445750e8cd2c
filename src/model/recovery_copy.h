#pragma once
// The recovery copy of the network. Each running program writes a copy of its own into the user's private
// folder, beside a lock file that it holds while it runs and that notes which network the copy holds, when
// it was written and which network file the program has open. A copy whose lock nobody holds was left by a
// program that did not end in order.
#include "platform/FileLock.h"

#include <memory>
#include <string>
#include <vector>

// This program's copy; its lock is taken at the first call. Empty when the private folder cannot be made.
std::string RecoveryCopyPath();
// Whether the file is a recovery copy, this program's or another's.
bool IsRecoveryCopy(const std::string &path);
// Notes beside this program's copy the network it holds (its file name, empty for an unnamed network, and
// its title) and when the copy was written.
void NoteRecoveryCopy(const std::string &networkFile, const std::string &title, const std::string &written);
// Notes in this program's lock the network file it has open now (empty for none), so that other running
// programs can tell (HeldByAnotherProgram).
void NoteOpenNetworkFile(const std::string &networkFile);
// Whether another running program of this user has the network file open.
bool HeldByAnotherProgram(const std::string &networkFile);
// Deletes this program's copy and its lock: the orderly exit.
void RemoveRecoveryCopy();
// Lets go of this program's copy without deleting it, as a program that ends otherwise does.
void LetGoOfRecoveryCopy();

// A copy left by a program that no longer runs. It is claimed while this program holds it, so that no other
// program offers it meanwhile; letting it go keeps it, to be offered at the next start.
struct LeftRecoveryCopy {
    std::string path;
    bool described = false; // false when its notes are missing: the three texts below are then empty
    std::string networkFile, title, written;
    std::unique_ptr<VB::FileLock> claim;
};
// The copies left by programs that no longer run, the newest first, each claimed.
std::vector<LeftRecoveryCopy> ClaimLeftRecoveryCopies();
// Makes a claimed copy this program's own copy, notes included: the next autosave replaces it and the
// orderly exit deletes it. False (the copy left as it was) when it cannot be moved.
bool AdoptRecoveryCopy(LeftRecoveryCopy &left);
