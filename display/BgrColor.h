#pragma once

#include <QColor>

// Colour settings are stored as 0xBBGGRR (red in the lowest byte).
inline QColor ColorFromBgr(qint32 bgr)
{
    return QColor(bgr & 0xFF, (bgr >> 8) & 0xFF, (bgr >> 16) & 0xFF);
}

inline qint32 BgrFromColor(const QColor &color)
{
    return qint32(color.red()) | (qint32(color.green()) << 8) | (qint32(color.blue()) << 16);
}
