#pragma once
// Tool codes of the toolbar, the Edit > Tools menu and the keys, and the dispatcher that selects a tool or
// runs an immediate command.

// The tool mode a code selects, or -1 when the code is an immediate command (or unknown).
int ToolModeOfCode(int code);
// Runs ToolCode: selects its tool, or runs its command and restores ToolCode from PreviousToolCode. The
// graphics commands (grid, single level, update screen), undo and redo run here; the others go to the
// shell.
void ToolCommand();
