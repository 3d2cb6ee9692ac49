#pragma once

#include <QString>

// How the simulated NetPC behaves: its pace, its random seed and the faults
// it plays for tests and demonstrations.
struct SimulatorOptions {
    double speed = 1; // instrument seconds per wall second
    quint32 seed = 1; // chooses the zero reading and every curve
    int gapMs = 8; // least wall time between two replies, so each is its own block
    int initDelayMs = 1000; // instrument time the end position takes after "run INIT"

    // Faults; a count of -1 means the fault is off.
    int dropAfter = -1; // close the connection after this many replies
    int stallAfter = -1; // send nothing more after this many replies
    bool answerErr = false; // every command is refused with "ERR ..."
    bool garbage = false; // a block of noise follows every reply
    bool pairReplies = false; // data replies go out two to a packet
    int floodCount = -1; // ZERO and START send this many data replies, fast
    bool okFirst = false; // ZERO and START are answered by "OK" alone
    bool splitReplies = false; // every reply after the greeting goes out in two pieces
    bool tailBlanks = false; // every reply carries a blank before its line end
    int gapAt = -1; // data reply k of a measurement is never sent ...
    // ... and the instrument goes quiet this long (wall milliseconds) before
    // the next, so the program's wait for it runs out; -1: the program's own
    // wait (one cycle and 12 s) and half a second more.
    int gapPauseMs = -1;
    bool okJoin = false; // the last data reply and "OK" go out in one packet

    // Applies one fault switch "NAME" or "NAME=k"; false (with a reason) for
    // an unknown name or a bad count.
    bool applyFault(const QString &fault, QString *error = nullptr);
    static QString faultHelp();
};
