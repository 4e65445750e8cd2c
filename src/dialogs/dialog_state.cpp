#include "dialogs/dialog_state.h"

bool SubDialogOpen = false;
int EditShape = 0;
