#pragma once
// Replacing a file as a whole, so that a failed save never leaves a truncated file behind.
#include <string>

// Writes `bytes` to a temporary file beside `path` and puts it in place of `path` only when every byte
// was written. Raises VBError 76 when the folder does not exist and 75 when the file cannot be written.
// ownerOnly makes the file readable and writable by its owner only (0600), from its first byte on.
void ReplaceFileContents(const std::string &path, const std::string &bytes, bool ownerOnly = false);
