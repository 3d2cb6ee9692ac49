#include "exchange/AnsiText.h"

#include <array>

namespace
{

// 0x80..0x9F of code page 1252; the five unassigned bytes map to the C1
// controls of the same number, as Windows itself converts them.
// clang-format off
constexpr std::array<char16_t, 32> HighControls = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};
// clang-format on

char encodeOne(char16_t c)
{
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF))
        return char(c);
    for (int i = 0; i < int(HighControls.size()); ++i)
        if (HighControls[i] == c)
            return char(0x80 + i);
    return '?';
}

} // namespace

QString DecodeAnsi(QByteArrayView bytes)
{
    QString out(bytes.size(), Qt::Uninitialized);
    QChar *dst = out.data();
    for (const char b : bytes) {
        const auto u = static_cast<unsigned char>(b);
        *dst++ = (u >= 0x80 && u < 0xA0) ? QChar(HighControls[u - 0x80]) : QChar(u);
    }
    return out;
}

QByteArray EncodeAnsi(const QString &text)
{
    QByteArray out;
    out.reserve(text.size());
    for (const QChar c : text)
        out.append(encodeOne(c.unicode()));
    return out;
}
