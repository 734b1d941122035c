#pragma once

class TfrmVemloTools;

namespace vemlo {

// The one tools window, from InitializeToolkit to FinalizeToolkit.
extern TfrmVemloTools* frmVemloTools;

// Creates the tools window and registers the toolkit's messages; run once, after the platform
// services are set up and before the main window is created.
void InitializeToolkit();
// Destroys the tools window and forgets the identifiers; run once after the message loop.
void FinalizeToolkit();

} // namespace vemlo
