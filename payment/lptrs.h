// The printers a setup screen offers: this computer's printers (the CUPS
// destinations) added to a list or combo box by name, in the order the
// system gives them.
#pragma once

class KVTScreen;

// Adds the printers to field `comboId` of `screen`. When the system cannot
// list them its text is shown (caption "Kovatel Software", exclamation icon)
// and the list stays as it is; false then.
bool LoadPrintersFromINI(KVTScreen& screen, int comboId);
