#pragma once

struct Settings;

// Minutes of scope-of-time option 1..8 (2.5 ... 500); 0 for any other index.
float ScopeMinutes(int index);
// Option number 1..8 of a scope of time in minutes; 0 if it is none of them.
int ScopeIndex(float minutes);

// Fills the adjustment table (presets and limits of the ten adjustments and
// of the measuring cycle per scope) and the allowed limit ranges from the
// settings fields they depend on (stirrer setting, temperature).
void FillSettingsTables(Settings &settings);
