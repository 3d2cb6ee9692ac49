#pragma once

#include <QRect>

// Where the graph window's four controls go for an inner area of W x H
// twips: the plot across the top, the legend below it on the left two
// thirds, the two buttons stacked beside the legend.
struct GraphLayout
{
    QRect Picture1;
    QRect Picture2;
    QRect cmdGraphDrk;
    QRect cmdGraphAb;
};

GraphLayout ComputeGraphLayout(int W, int H);
