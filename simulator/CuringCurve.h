#pragma once

#include <QtGlobal>

// The hardness of a curing resin-impregnated paper over the measuring
// duration, in percent: the level first sinks while the resin flows, then
// rises in an S-shape to a plateau. Each specimen of a seed gets its own,
// repeatable shape; its times scale with the measuring duration so the whole
// course fits whatever scope the operator chose.
class CuringCurve
{
public:
    CuringCurve(quint32 seed, int specimen, double durationSeconds);

    // The noiseless value at `seconds` since the start.
    double valueAt(double seconds) const;

    double startLevel() const { return m_start; }
    double plateau() const { return m_plateau; }

private:
    double risePart(double seconds) const;

    double m_start; // level at the start
    double m_dip; // how far the flowing resin lowers the level
    double m_flowTau; // time constant of the flow
    double m_riseMid; // middle of the S-shaped rise
    double m_riseWidth;
    double m_plateau;
};

// The instrument's reading in volts that the program converts back into
// `percent`: the inverse of its conversion with the voltage setting `n`,
// the amplification and the zero reading in volts it subtracts.
double ReadingForPercent(double percent, int n, double amplification, double zeroVolts);
