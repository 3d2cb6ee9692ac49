#pragma once

#include <QByteArray>
#include <QFile>
#include <QList>
#include <QString>
#include <QtEndian>
#include <algorithm>
#include <array>
#include <optional>

// Builds import files field by field, so tests can make good files and
// files broken in exactly one place.
struct KpfFile {
    // The 21 string fields in file order, code page 437 bytes.
    std::array<QByteArray, 21> strings = { "V1", "Meier", "05.03.24", "Probe 7", "Dekor", "112.5",
        "Melamin", "Schmidt", "01.03.24", "Druck AG", "02.03.24", "Papier GmbH", "28.02.24", "180",
        "6.5", "80", "4.2", "0.3", "12", "first", "second" };
    std::array<double, 5> results = { 12.5, 130, 0.75, 40, 88 };
    // Ein1, the temperature, Ein3 .. Ein10.
    std::array<double, 10> adjustments = { 3, 21.5, 4, 10, 350, 100, 0.18, 0.5, 0.02, 10 };
    QList<double> x;
    QList<double> y;
    std::optional<double> count; // the number of points unless set

    QByteArray bytes() const
    {
        QByteArray out;
        for (const QByteArray &s : strings)
            out.append(char(s.size())).append(s);
        const auto number = [&](double v) {
            char big[8];
            qToBigEndian(v, big);
            out.append(big, 8);
        };
        std::for_each(results.begin(), results.end(), number);
        std::for_each(adjustments.begin(), adjustments.end(), number);
        number(count.value_or(double(x.size())));
        std::for_each(x.begin(), x.end(), number);
        std::for_each(y.begin(), y.end(), number);
        return out;
    }

    // A curve of n points rising by one percent and two seconds a point.
    static KpfFile withPoints(int n)
    {
        KpfFile f;
        for (int i = 1; i <= n; ++i) {
            f.x.append(10 + i);
            f.y.append(2.0 * i);
        }
        return f;
    }

    // Offset of string field `field` (1-based) in bytes().
    qsizetype offsetOfString(int field) const
    {
        qsizetype pos = 0;
        for (int i = 1; i < field; ++i)
            pos += 1 + strings.at(i - 1).size();
        return pos;
    }
};

inline bool writeFile(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}
