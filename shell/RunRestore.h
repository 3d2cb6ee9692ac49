#pragma once

class Notation;
class OperatorMessages;
class Store;
struct Settings;

// At start-up: every measurement that a crash or a kill interrupted leads to
// the question whether to restore it into its box. Yes puts the curve back
// as an incomplete graph (evaluated, changed, not saved); either answer
// clears its journal. Returns the boxes that changed (a bit per box).
int RestoreInterruptedRuns(
    Store &store, Settings &settings, OperatorMessages &messages, const Notation &notation);
