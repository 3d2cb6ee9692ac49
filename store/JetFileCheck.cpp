#include "store/JetFileCheck.h"

#include <QFile>
#include <array>
#include <cstring>

namespace
{

const int kJet3Page = 2048;
const int kJet4Page = 4096;
const int kVersionAt = 0x14;
const int kMaskedAt = 0x18;
const quint32 kHeaderKey = 0x6b39dac7;
const int kKeyAt = 0x3e;
const int kPasswordAt = 0x42;
const int kCreatedAt = 0x72;

quint32 le32(const QByteArray &b, int at)
{
    quint32 v = 0;
    for (int i = 3; i >= 0; --i)
        v = (v << 8) | quint8(b.at(at + i));
    return v;
}

// The header's middle part is masked with RC4 under a fixed key.
void unmask(QByteArray &b, int length)
{
    const std::array<quint8, 4> key = { quint8(kHeaderKey), quint8(kHeaderKey >> 8),
        quint8(kHeaderKey >> 16), quint8(kHeaderKey >> 24) };
    std::array<quint8, 256> s {};
    for (int i = 0; i < 256; ++i)
        s[i] = quint8(i);
    quint8 j = 0;
    for (int i = 0; i < 256; ++i) {
        j = quint8(j + s[i] + key[i % 4]);
        std::swap(s[i], s[j]);
    }
    quint8 x = 0, y = 0;
    for (int k = 0; k < length; ++k) {
        x = quint8(x + 1);
        y = quint8(y + s[x]);
        std::swap(s[x], s[y]);
        b[kMaskedAt + k] = char(quint8(b[kMaskedAt + k]) ^ s[quint8(s[x] + s[y])]);
    }
}

// A Jet 4 password is further masked with the whole days of the creation
// date; Jet 3 keeps it as it is. Any byte left means a password is set.
bool hasPassword(const QByteArray &b, bool jet4)
{
    const int length = jet4 ? 40 : 20;
    std::array<quint8, 4> mask {};
    if (jet4) {
        double created = 0;
        std::memcpy(&created, b.constData() + kCreatedAt, sizeof created);
        const qint32 days
            = (created > -2147483648.0 && created < 2147483647.0) ? qint32(created) : 0;
        for (int i = 0; i < 4; ++i)
            mask[i] = quint8(quint32(days) >> (8 * i));
    }
    for (int i = 0; i < length; ++i)
        if ((quint8(b.at(kPasswordAt + i)) ^ mask[i % 4]) != 0)
            return true;
    return false;
}

JetFileCheck result(JetFileCheck::Kind kind, const QString &cause = {})
{
    return { kind, cause };
}

} // namespace

JetFileCheck CheckJetHeader(const QByteArray &firstPage, qint64 fileSize)
{
    static const QByteArray jetMagic("\x00\x01\x00\x00Standard Jet DB", 19);
    static const QByteArray aceMagic("\x00\x01\x00\x00Standard ACE DB", 19);
    using Kind = JetFileCheck::Kind;
    if (firstPage.startsWith(aceMagic))
        return result(Kind::Unsupported,
            QStringLiteral("it is a database of a later Access format, which cannot be converted"));
    if (!firstPage.startsWith(jetMagic))
        return result(Kind::NotJet);
    if (firstPage.size() < kJet3Page)
        return result(Kind::Truncated, QStringLiteral("it is truncated (shorter than its header)"));

    const quint32 version = le32(firstPage, kVersionAt);
    if (version > 1)
        return result(Kind::Unsupported,
            QStringLiteral("it is a database of a later Access format, which cannot be converted"));
    const bool jet4 = version == 1;
    const int pageSize = jet4 ? kJet4Page : kJet3Page;
    if (firstPage.size() < pageSize || fileSize < 3 * pageSize)
        return result(
            Kind::Truncated, QStringLiteral("it is truncated (it ends before its tables)"));
    if (fileSize % pageSize != 0)
        return result(Kind::Truncated, QStringLiteral("it is truncated (it ends inside a page)"));

    QByteArray header = firstPage.left(pageSize);
    unmask(header, jet4 ? 128 : 126);
    if (le32(header, kKeyAt) != 0 || hasPassword(header, jet4))
        return result(Kind::Encrypted,
            QStringLiteral("it is encrypted or protected by a password; remove the protection "
                           "in the program that wrote it and convert it again"));
    return result(jet4 ? Kind::Jet4 : Kind::Jet3);
}

JetFileCheck CheckJetFile(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return result(JetFileCheck::Kind::NotJet);
    return CheckJetHeader(file.read(kJet4Page), file.size());
}
