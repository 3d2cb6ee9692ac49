#pragma once

struct Settings;

// Voltage preset from the paper basis weight in g/m² (rounded half to even).
int Ein3FromPaperWeight(float paperWeight);

// Moves the adjustments of the active box through the working copy
// AdjCurrent: mode 0 copies the working copy into the box, mode 1 fills it
// with the presets, mode 2 fills it from the box.
void TransferAdjustments(int mode, Settings &settings);
