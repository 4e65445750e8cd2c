#pragma once
// State shared by the airway dialogs.

// True while a window opened from the airway edit dialog is up (the shock calculator, the airway
// information window): the edit dialog then ignores losing the focus to it.
extern bool SubDialogOpen;
// The cross-section shape the airway edit dialog shows: 0 rectangular, 1 round, 2 irregular.
extern int EditShape;
