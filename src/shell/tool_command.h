#pragma once
// The numbered commands of the toolbar, the tool menu and the function keys.

// Runs ToolCode (PreviousToolCode holds the command current before it): a tool sets ToolMode for the
// graphic editor; an immediate command runs and gives the previous tool back.
void ToolCommand();
// The editor's tool (ToolMode) selected by a command; -1 for immediate commands and unknown codes.
int ToolModeOfCommand(int code);
// File > Save and the toolbar's save: an unnamed network or a master file (".SMM" in any case) goes
// through Save As, any other is written to its own file. True when the network was written.
bool SaveCommand();
// View > View Options and the toolbar's display options: frmViewer (modal), then the view is re-projected
// and redrawn.
void ShowViewOptions();
