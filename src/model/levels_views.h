#pragma once
// Level table and saved views, kept in step with the main window's lists.

// Refills the view list with the non-empty names of view slots 1..100.
void FillViewList();
// Shows the active graphics window with its number, caption "View n", background and redraw mode.
void SetViewCaption();
