#pragma once

#include "core/Settings.h"

#include <QProcess>
#include <QSizeF>
#include <QString>

// A4 in twips, the page the recording tests print on.
inline const QSizeF A4Twips(11906, 16838);

// A box as the report prints it: specimen data, results against limits, a
// limit file and a curve whose length and height follow `number`.
inline void fillBox(BoxRecord &box, int number, float scope, const QString &name)
{
    box.Status = BoxStatus::Graph;
    box.Ein = { 0, 3, 20, 5, 2.5f, 350, 100, 0.18f, 0.5f, 1.25f, scope };
    box.Kovra = name;
    box.Benutzer = QStringLiteral("Miller");
    box.PruefAm = QStringLiteral("14/03/05");
    box.Bg = 55.5f;
    box.Erg = { 0, 3.25f, 7.5f, 0.1234f, 42, 0 };
    box.GWU = { 0, 2, 6, 0.1f, 30, 10 };
    box.GwO = { 0, 4, 9, 0.2f, 60, 90 };
    box.Abw = { 0, 0, -1.25f, 0, 0, -10 };
    box.GrwBez = QStringLiteral("Standard MF");
    const int points = 30 + 10 * number;
    for (int i = 0; i < CurveSize; ++i) {
        box.x[i] = i <= points ? 5.0f + i * (60.0f - 4 * number) / points : CurveEndMark;
        box.y[i] = i * scope * 60 / points;
    }
}

// Boxes 1, 2 and 4 hold curves of 10 minutes; box 3 one of 25 minutes;
// box 5 is a pattern.
inline Settings threeBoxes()
{
    Settings s;
    s.ScopeOfTime = 10;
    s.LinieDr = 6;
    fillBox(s.Box(1), 1, 10, QStringLiteral("Kraft A"));
    fillBox(s.Box(2), 2, 10, QStringLiteral("Kraft B"));
    fillBox(s.Box(3), 3, 25, QStringLiteral("Other scope"));
    fillBox(s.Box(4), 4, 10, QStringLiteral("Decor C"));
    fillBox(s.Box(5), 5, 10, QStringLiteral("Pattern"));
    s.Box(5).Status = BoxStatus::Pattern;
    return s;
}

// The text of a PDF file, pages separated by form feeds.
inline QString pdfText(const QString &file)
{
    QProcess p;
    p.start(QStringLiteral("pdftotext"), { QStringLiteral("-layout"), file, QStringLiteral("-") });
    p.waitForFinished();
    return QString::fromUtf8(p.readAllStandardOutput());
}
