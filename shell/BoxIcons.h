#pragma once

#include <QPixmap>

// The small pictures of a box tile, drawn rather than shipped so they stay
// sharp at any screen scale.
namespace BoxIcons {
QPixmap graph(int size);   // a measured curve on axes
QPixmap pattern(int size); // a specimen sheet without a curve
QPixmap changed(int size); // a pencil: not saved since the last change
QPixmap application(int size);
} // namespace BoxIcons
