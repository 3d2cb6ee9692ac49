#pragma once

#include <QString>
#include <optional>

struct BoxRecord;

// The text of a run's wire conversation and the arithmetic that turns a
// reading into a curve point, kept apart from the run so each rule can be
// checked on its own.

// "START" and its six numbers (SendNetPC puts "run " in front). The voltage
// n is already a whole number; the durations go out in milliseconds.
QString StartCommand(int n, const BoxRecord &box);

// The line stored in place of a missing reply: "DATA 0.04" and the time-out
// count in the wire form, so it reads as reading 0 without a time.
QString SubstituteDataLine(int timeoutCount);

// The two numbers of a data line as the run reads them: the text behind the
// first blank is split at blanks twice; a field followed by a blank is a
// reading, the last field is the time. A line that does not look like
// "DATA reading time" can give a reading without a time or a time without a
// reading; the caller keeps its previous value for what is missing.
struct DataLineFields {
    std::optional<double> reading; // volts
    std::optional<double> timeMs; // milliseconds since START
};
DataLineFields ParseDataLine(const QString &line);

// A reading in volts as a value in %: the open-circuit value Ein9 (tenfold
// volts) is subtracted, the rest scaled by the converter's 4096/10 V, offset
// and amplified by the box's voltage Ein3 and amplification Ein6. Every
// stored intermediate is single precision, as the stored curves were made.
float ValueFromReading(double reading, const BoxRecord &box);
