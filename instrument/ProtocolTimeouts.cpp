#include "instrument/ProtocolTimeouts.h"

#include <algorithm>

ProtocolTimeouts ProtocolTimeouts::scaledDown(int divisor)
{
    const auto scale
        = [divisor](Duration d) { return std::max(Duration(1), d / std::max(1, divisor)); };
    ProtocolTimeouts t;
    t.greeting = scale(t.greeting);
    t.init = scale(t.init);
    t.trace = scale(t.trace);
    t.zeroPoint = scale(t.zeroPoint);
    t.measurementExtra = scale(t.measurementExtra);
    t.breakReply = scale(t.breakReply);
    t.replyQuiet = scale(t.replyQuiet);
    t.closing = scale(t.closing);
    return t;
}
