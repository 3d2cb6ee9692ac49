#pragma once

#include <QString>

// What the first page of a file says about it as a database of the earlier
// program (the Jet/Access format): whether it is one at all, which
// generation, and whether it can be read without a password. Reads nothing
// beyond the first page and never changes the file.
struct JetFileCheck {
    enum class Kind {
        NotJet, // some other file (or none)
        Jet3, // 2048-byte pages
        Jet4, // 4096-byte pages
        Unsupported, // a later Access format
        Encrypted, // encrypted or protected by a database password
        Truncated, // shorter than its first page, or ends inside a page
    };
    Kind kind = Kind::NotJet;
    QString cause; // for the operator, when it cannot be converted

    bool isJet() const { return kind != Kind::NotJet; }
    bool convertible() const { return kind == Kind::Jet3 || kind == Kind::Jet4; }
};

JetFileCheck CheckJetFile(const QString &path);
JetFileCheck CheckJetHeader(const QByteArray &firstPage, qint64 fileSize);
