#pragma once

#include "core/BoxRecord.h"

#include <QString>

// A stored graph chosen to be drawn under a box's curve for comparison: its
// key and name, and a copy of its curve and scope of time taken when it was
// chosen, so that drawing never waits for the database.
struct ReferenceCurve {
    qint32 UntID = -1; // -1: none chosen
    QString Kovra;
    QString directory;
    BoxRecord curve; // x, y and Ein[10] are what is drawn

    bool chosen() const { return UntID >= 0; }
};
