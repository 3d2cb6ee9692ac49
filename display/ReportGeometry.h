#pragma once

#include <array>

struct Settings;

// Where the five blocks of a report page stand, in whole twips from the
// page's printable origin, computed from the margin settings (inches) and
// the printable page size. The blocks have fixed heights; what the page has
// beyond them is shared out into the four gaps between them, and a page too
// small for them makes the gaps negative so that the blocks overlap.
struct ReportGeometry
{
    static constexpr std::array<int, 6> BlockHeight{0, 1000, 5050, 4000, 1850, 1250};
    static constexpr int BlocksTotal = 13150;

    int topMargin = 0;
    int bottomMargin = 0;
    int PrnRight = 0;
    int PrnLeft = 0;
    int PrnHeight = 0;
    int PrnWidth = 0;
    int gap = 0;
    std::array<int, 6> PrnY{}; // top of block 1..5

    // Column a/b: PrnLeft + PrnWidth * a / b, to a whole twip.
    int column(double a, double b) const;
    // Row c/d of block n: its top + its height * c / d, to a whole twip.
    int row(int block, double c, double d) const;
};

ReportGeometry ComputeReportGeometry(const Settings &settings, double pageWidthTwips,
                                     double pageHeightTwips);
