#pragma once

#include <QString>
#include <optional>

class Notation;
struct BoxRecord;

// The specimen part of a box: what the operator types into the specimen form.
struct SpecimenRecord {
    QString Kovra;
    QString Benutzer;
    QString PruefAm;
    QString BgArt;
    float Bg = 0;
    QString HarzTyp;
    QString BgVon;
    QString BgVonAm;
    QString DrVon;
    QString DrVonAm;
    QString PaVon;
    QString PaVonAm;
    float GesGew = 0;
    float PaGew = 0;
    float Luftdurch = 0;
    float Temp = 0;
    float Feuchte = 0;
    float Fluss = 0;
    float Asche = 0;
    QString Bemerk;
};

SpecimenRecord SpecimenOf(const BoxRecord &box);
void PutSpecimen(const SpecimenRecord &specimen, BoxRecord &box);

// True when all twenty fields agree: texts exactly, numbers by value.
bool SameSpecimen(const SpecimenRecord &a, const SpecimenRecord &b);

// How a specimen number is written into its field: at most seven
// significant digits, no trailing zeros, in the system's notation.
QString SpecimenNumberText(float value, const Notation &notation);

// The range a specimen value must lie in, from 0 to limit; the text is how
// the refusal names the limit.
struct SpecimenRange {
    double limit;
    const char *limitText;
};
// Level, weights, permeability, temperature.
constexpr SpecimenRange WholeRange { 999, "999" };
// Moisture, resin flow, ash.
constexpr SpecimenRange PercentRange { 99.9, "99.9" };

// A specimen number as typed: a number in the system's notation that reads
// as what it shows, within range; nothing otherwise.
std::optional<float> ReadSpecimenNumber(
    const QString &text, SpecimenRange range, const Notation &notation);
// The refusal of a specimen number: "valid user input:", an empty line and
// "(0 .... 999)" or "(0 .... 99.9)".
QString SpecimenNumberMessage(SpecimenRange range);

// A typed date rewritten as "dd/mm/yy" with the system's separator; nothing
// when the text is no date (an empty one included).
std::optional<QString> RewriteSpecimenDate(const QString &text, const Notation &notation);
