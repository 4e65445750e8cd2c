#pragma once
// Writing network files. Success shows in NetworkSaved (255 after a good normal save).

// 0 normal save to NetworkFileName; 1 the recovery copy "tempsim.sim" in the temporary folder.
void SaveNetwork(int mode);
// Asks for a file name and saves there.
void SaveNetworkAs();
