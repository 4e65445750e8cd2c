#pragma once
// Writing the whole network to its file or to the recovery copy.
#include <future>
#include <string>
#include <string_view>

class TextFileWriter;

// Mode 1 writes this program's recovery copy (see recovery_copy.h); any other mode writes the current
// file (an unnamed network goes to Save As). Returns true when the file was written, false when the save
// was refused, cancelled or failed, so that closing and exit can stop.
bool SaveNetwork(int mode);
// Saves the network under another name (Save As): asks about a master file when the name is one, and
// changes nothing of the current file name. Returns true when the file was written.
bool SaveNetworkTo(const std::string &path);

// Notes what this program last read from or wrote to its network file (the digest of its bytes), so that
// a save can tell whether another program has replaced the file since.
void NoteNetworkFileDigest(const std::string &path, std::string digest);
// The digest of a file's bytes, as NoteNetworkFileDigest takes it.
std::string ContentDigest(std::string_view bytes);
// ContentDigest worked out on a thread of its own (on the caller's at get() when no thread can be had),
// so that a load or save does not wait for it; the bytes must stay as they are until the result is taken.
std::future<std::string> ContentDigestBeside(std::string_view bytes);

// Writes the network file text (every section, current version) to `out`.
void WriteNetworkFile(TextFileWriter &out);

// Puts a file name at the top of the recent-file list: an entry already in the list moves up, the others
// move down one place. Returns false when the list was already so.
bool MoveToTopOfRecentFiles(const std::string &fileName);
