#include "display/GraphLayout.h"

#include "core/Rounding.h"

#include <algorithm>

GraphLayout ComputeGraphLayout(int W, int H)
{
    const int mx = roundHalfEven(W / 50.0);
    const int my = roundHalfEven(H / 70.0);
    GraphLayout g;
    g.Picture1 = QRect(mx, my, W - 2 * mx, roundHalfEven(H * 7 / 9.0));
    const int legendHeight = std::max(1, H - 3 * my - g.Picture1.height());
    const int legendWidth = roundHalfEven(g.Picture1.width() * 2 / 3.0);
    g.Picture2 = QRect(mx, g.Picture1.height() + 2 * my, legendWidth, legendHeight);
    // The buttons' right edges line up with the plot's.
    const int left = 2 * mx + g.Picture2.width();
    const int width = g.Picture1.width() - left + mx;
    const int height = roundHalfEven((g.Picture2.height() - my) / 2.0);
    g.cmdGraphDrk = QRect(left, g.Picture1.height() + 2 * my, width, height);
    g.cmdGraphAb = QRect(left, g.Picture1.height() + 3 * my + height, width, height);
    return g;
}
