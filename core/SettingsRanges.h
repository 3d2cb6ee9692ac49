#pragma once

#include <QStringList>

struct Settings;

// Every settings value that comes from the file and that the program relies
// on being in range (a box number used as an index, a line width, a margin)
// is checked here. A value out of range is replaced by the program's default;
// the texts name each replaced value, for one message at start.
QStringList CorrectOutOfRange(Settings &settings);
