#include "exchange/remotes.h"

void LoadRemotes() {
    // No station settings are read yet: the station tables stay empty.
}
