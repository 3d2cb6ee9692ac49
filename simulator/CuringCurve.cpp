#include "simulator/CuringCurve.h"

#include <algorithm>
#include <cmath>
#include <random>

namespace
{

double logistic(double z)
{
    return 1.0 / (1.0 + std::exp(-z));
}

} // namespace

CuringCurve::CuringCurve(quint32 seed, int specimen, double durationSeconds)
{
    std::seed_seq seq { seed, quint32(specimen), 0x6b6f7672u };
    std::mt19937 rng(seq);
    const auto between = [&rng](double low, double high) {
        return std::uniform_real_distribution<double>(low, high)(rng);
    };
    const double duration = std::max(durationSeconds, 1.0);
    m_start = between(18, 28);
    m_dip = between(2.5, 8);
    m_flowTau = between(0.03, 0.08) * duration;
    m_riseMid = between(0.28, 0.45) * duration;
    m_riseWidth = between(0.035, 0.07) * duration;
    m_plateau = between(62, 84);
}

double CuringCurve::risePart(double seconds) const
{
    // Shifted so that the rise is exactly 0 at the start and 1 at the end.
    const double atStart = logistic(-m_riseMid / m_riseWidth);
    const double now = logistic((seconds - m_riseMid) / m_riseWidth);
    return (now - atStart) / (1.0 - atStart);
}

double CuringCurve::valueAt(double seconds) const
{
    const double flow = m_dip * (1.0 - std::exp(-std::max(seconds, 0.0) / m_flowTau));
    const double low = m_start - m_dip;
    return m_start - flow + (m_plateau - low) * risePart(std::max(seconds, 0.0));
}

double ReadingForPercent(double percent, int n, double amplification, double zeroVolts)
{
    // The program computes v = (r - zero) * 4096 / 10 and
    // x = ((v + 15) - 3n) * amplification / 200 / n.
    const double v = n == 0 ? -15.0 : percent * 200.0 * n / amplification - 15.0 + 3.0 * n;
    return v * 10.0 / 4096.0 + zeroVolts;
}
