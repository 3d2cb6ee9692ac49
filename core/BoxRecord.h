#pragma once

#include "core/FixedText.h"

#include <QString>
#include <array>

// Content kinds of a box and of a stored record.
namespace BoxStatus {
constexpr int Pattern = 2; // specimen data only, or a box without a measured curve
constexpr int Graph = 4;   // specimen data with a measured curve
} // namespace BoxStatus

// Curve storage: values end at the first x that is this mark or lower.
constexpr float CurveEndMark = -1000.0f;
constexpr int CurveSize = 301;      // indexes 0..300
constexpr int CurveLastPoint = 299; // a measurement never writes beyond it

// Everything the program knows about the content of one measuring position.
// Arrays that the operator numbers from 1 keep index 0 unused, so the code
// reads like the lab's own numbering (Ein[3] is the voltage).
struct BoxRecord
{
    int BoxNr = 0;
    int Status = BoxStatus::Pattern;
    bool Stored = false;
    bool Changed = false;

    std::array<float, 11> Ein{}; // measurement adjustments 1..10

    std::array<float, 6> Erg{}; // results 1..5
    std::array<float, 6> GwO{}; // upper limits 1..5
    std::array<float, 6> GWU{}; // lower limits 1..5
    std::array<float, 6> Abw{}; // deviations 1..5, never stored

    std::array<float, CurveSize> x{}; // value of each point in %
    std::array<float, CurveSize> y{}; // time of each point in s

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
    FixedText<50> GrwBez;

    // How honest the curve is: readings that never came and were filled in
    // by interpolation, and whether the run ended before the instrument
    // finished it (link lost, time-outs, a restored crash).
    qint32 Fehlend = 0;
    bool Unvollst = false;

    qint32 UntID = -1;
    qint32 VerzID = 0;

    bool holdsGraph() const { return (Status & BoxStatus::Graph) != 0; }
    // Number of points before the end mark (index 0 counts as a point).
    int pointCount() const;
};
