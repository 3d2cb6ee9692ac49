#pragma once

#include <QString>

struct BoxRecord;

// What a reader of a graph must know about how its curve was measured:
// "3 readings missing, interpolated", "measurement incomplete", both joined
// by a comma, or an empty text for a curve measured whole.
QString CurveNote(const BoxRecord &box);
