#pragma once

struct BoxRecord;

// Recomputes Abw1..Abw5 of `box` from its results and the limits it holds:
// below the lower limit the (negative) distance to it, above the upper limit
// the (positive) distance to that, otherwise 0. A box without a limit file
// holds 0 and 0, so each positive result is its own deviation.
void CheckLimits(BoxRecord &box);
