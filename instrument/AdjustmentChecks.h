#pragma once

#include <QString>

class Notation;
struct Settings;

// The checks of the adjustments dialog, apart from its widgets. Field
// indexes are those of the dialog: 1..8 for Ein1..Ein8, 10 for the scope of
// time and 11 for the open-circuit value; fields without a check are valid.

// Whether `text` is acceptable in field `index`; `scopeText` is the text of
// the scope field, whose scope selects the allowed measuring cycle.
bool AdjustmentValid(int index, const QString &text, const QString &scopeText,
    const Settings &settings, const Notation &notation);

// The message for an invalid field: "valid user input:", two carriage
// returns, then the allowed values, e.g. "( 1 .... 99 )".
QString AdjustmentMessage(
    int index, const QString &scopeText, const Settings &settings, const Notation &notation);

// The shortest measuring cycle that fits starting time, measuring time and
// a second to spare; a cycle equal to it is accepted.
double ShortestCycle(double startingTime, double measuringTime);
bool CycleLongEnough(double cycle, double startingTime, double measuringTime);
QString CycleMessage(double startingTime, double measuringTime, const Notation &notation);
