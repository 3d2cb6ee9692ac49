#include "display/ReportGeometry.h"

#include "core/Rounding.h"
#include "core/Settings.h"

namespace {

int inchesToTwips(float inches)
{
    return roundHalfEven(double(inches) * 1440);
}

} // namespace

ReportGeometry ComputeReportGeometry(const Settings &settings, double pageWidthTwips,
                                     double pageHeightTwips)
{
    ReportGeometry g;
    g.topMargin = inchesToTwips(settings.PrnOffOb);
    g.bottomMargin = roundHalfEven(double(settings.PrnOffUn) * 1440 - 100);
    g.PrnRight = roundHalfEven(double(settings.PrnOffRe) * 1440 - 100);
    g.PrnLeft = inchesToTwips(settings.PrnOffLi);
    g.PrnHeight = roundHalfEven(pageHeightTwips - g.topMargin - g.bottomMargin);
    g.PrnWidth = roundHalfEven(pageWidthTwips - g.PrnRight - g.PrnLeft);
    g.gap = roundHalfEven((g.PrnHeight - ReportGeometry::BlocksTotal) / 4.0);
    g.PrnY[1] = g.topMargin;
    for (int n = 2; n <= 5; ++n)
        g.PrnY[n] = g.PrnY[n - 1] + ReportGeometry::BlockHeight[n - 1] + g.gap;
    return g;
}

int ReportGeometry::column(double a, double b) const
{
    return roundHalfEven(PrnLeft + PrnWidth * a / b);
}

int ReportGeometry::row(int block, double c, double d) const
{
    return roundHalfEven(PrnY.at(block) + BlockHeight.at(block) * c / d);
}
