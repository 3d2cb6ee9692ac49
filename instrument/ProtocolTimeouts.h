#pragma once

#include <chrono>

// Every wait of the instrument conversation, in one place. The program uses
// the defaults; tests build scaled-down ones so that a 40 s wait takes
// milliseconds.
struct ProtocolTimeouts {
    using Duration = std::chrono::milliseconds;

    Duration greeting { 2000 }; // "gol_kovra" after connecting
    Duration init { 13000 }; // "OK" to "run INIT"
    Duration trace { 10000 }; // "set" to "trace 0" at start-up
    Duration zeroPoint { 40000 }; // between two data replies of the zero point
    Duration measurementExtra { 12000 }; // added to the measuring cycle between two points
    Duration breakReply { 10000 }; // "OK" to "run BREAK"
    // How long the start of a reply waits for its line end before it is
    // taken as it is; a line-ended peer sends the rest within milliseconds.
    Duration replyQuiet { 250 };
    Duration closing { 2000 }; // the socket's closed state at shut-down

    // All waits divided by `divisor` (at least one millisecond each).
    static ProtocolTimeouts scaledDown(int divisor);
};
