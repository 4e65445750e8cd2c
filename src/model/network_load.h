#pragma once
// Reading network files.

// Loads the network file named by NetworkFileName (merging when LoadMode is above 1); reports its own
// errors.
void LoadNetwork();
// Takes NetworkFileName as the current file: file title and master-file flag.
void SetFileName();
