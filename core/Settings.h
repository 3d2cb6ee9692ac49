#pragma once

#include "core/BoxRecord.h"
#include "core/ReferenceCurve.h"

#include <QString>
#include <array>

// One row of the adjustment table: preset, minimum, maximum; -1 in all three
// marks a row without preset and limits.
struct AdjLimitRow
{
    float preset = -1;
    float minimum = -1;
    float maximum = -1;
};

// Allowed range of a limit value, as the texts the limit editor shows.
struct LimitRangeRow
{
    QString minimum;
    QString maximum;
};

// The program's whole shared state: the settings loaded from the database,
// the run-time values that several windows hand to each other, and the five
// boxes. The application owns one; every test builds its own.
struct Settings
{
    // Settings columns of the Init table.
    std::array<qint32, 6> DisKvFa{}; // curve colour (0xBBGGRR) of box 1..5
    float PrnOffOb = 0.5f;           // print margins in inches
    float PrnOffUn = 0.5f;
    float PrnOffRe = 0.5f;
    float PrnOffLi = 0.5f;
    int ActiveBox = 1;
    float ScopeOfTime = 10;
    int LinieDr = 4; // curve width on paper: 2, 4, 6
    int LinieGr = 2; // curve width on screen: 1, 2, 3
    float ZeroPoint = 0;
    qint32 Ruehrer = 1;
    float Temp = 20;
    float Viskos = 0;
    int AD_Adr = 0;
    int IO_ADR = 0;
    QString HostAddress = QStringLiteral("127.0.0.1");
    quint16 HostPort = 8100;

    // Tables filled by the settings load: rows 1..19 and results 1..5.
    std::array<AdjLimitRow, 20> AdjLimits{};
    std::array<LimitRangeRow, 6> LimitRange{};

    // Run-time values shared between windows.
    bool NoInstrument = false;
    int MeasureRequested = 0;
    bool EndRequest = false;
    int DialogMode = 0;
    std::array<float, 11> AdjCurrent{}; // adjustments being edited, 1..10
    QString TraceText = QStringLiteral("0");
    QString ExportFileName;
    qint32 SelVerzID = 0;
    qint32 SelGrwID = 0;

    std::array<BoxRecord, 5> Boxes{};
    // The reference chosen for box 1..5 (index 0 unused); kept until changed.
    std::array<ReferenceCurve, 6> References{};

    BoxRecord &Box(int k) { return Boxes.at(k - 1); }
    const BoxRecord &Box(int k) const { return Boxes.at(k - 1); }
    BoxRecord &activeBox() { return Box(ActiveBox); }
    const BoxRecord &activeBox() const { return Box(ActiveBox); }
    qint32 boxColour(int k) const { return DisKvFa.at(k); }

    Settings();
};
