#pragma once

#include <QString>

struct BoxRecord;
class Notation;

// The stored form of a curve: each point as a cell of exactly six characters
// (the value's plain text, cut or padded with blanks) in two texts, values
// and times, up to and including the end mark.
struct CurveTexts {
    QString x;
    QString y;
};

QString CurveCell(float value, const Notation &notation);
CurveTexts WriteCurveCells(const BoxRecord &box, const Notation &notation);

// Reads the cells back into x(i), y(i) for i < length(x) / 6, at most 301.
// Either decimal separator is accepted inside a cell, so a file written under
// another locale still reads right; an unreadable cell reads as 0.
void ReadCurveCells(const QString &x, const QString &y, BoxRecord &box);
float ReadCurveCell(QStringView cell);
