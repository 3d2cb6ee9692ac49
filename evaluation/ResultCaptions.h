#pragma once

#include <QString>

constexpr int ResultCount = 5;

// How the lab names, measures and writes result k (1..5) wherever results
// are shown or printed.
struct ResultCaption {
    QString caption; // "Curing time:"
    QString unit; // "min."
    QString format; // three-section number format for Notation::format
};

const ResultCaption &resultCaption(int k);
