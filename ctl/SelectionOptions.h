#pragma once

#include "store/ResultQuery.h"

#include <QCommandLineParser>

class OperatorMessages;
class Store;

// The options that choose stored graphs, shared by the commands that read
// results across specimens: --dir NAME (repeatable), --from DATE, --to DATE
// (yyyy-mm-dd, inclusive) and --name FILTER.
void AddSelectionOptions(QCommandLineParser &parser);
// The selection the options ask for; false, with the reason told, when a
// date does not read or a directory does not exist.
bool ReadSelection(const QCommandLineParser &parser, Store &store, OperatorMessages &messages,
    ResultSelection &selection);
