#include "exchange/remotes.h"

void LoadRemotes() {
    // No station settings are read yet: the station tables stay empty.
}

void SaveRemotes() {
    // No station settings are kept yet, so there is nothing to write.
}
