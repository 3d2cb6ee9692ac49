#pragma once

#include <cmath>

// Whole number of a value, halves to the even neighbour (2.5 -> 2, 3.5 -> 4),
// the rounding every conversion to a whole number in the lab's rules uses.
inline int roundHalfEven(double value)
{
    const double r = std::nearbyint(value); // default mode: to nearest, ties to even
    if (!(r > -2147483648.0 && r < 2147483647.0))
        return r > 0 ? 2147483647 : -2147483647 - 1;
    return int(r);
}
