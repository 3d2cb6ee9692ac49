// Imports 10,000 import files into a fresh database and prints files per
// second: the reader alone, the first import (records added) and a second
// import of the same files (records found by name and overwritten).
#include "tests/exchange/KpfBuilder.h"

#include "exchange/ImportFile.h"
#include "exchange/ImportTarget.h"
#include "core/BoxRecord.h"
#include "core/Notation.h"
#include "core/ScriptedMessages.h"
#include "store/Database.h"
#include "store/Store.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTextStream>
#include <cstdio>

namespace
{

constexpr int FileCount = 10000;

QStringList writeFiles(const QString &folder)
{
    QStringList paths;
    for (int i = 0; i < FileCount; ++i) {
        KpfFile f = KpfFile::withPoints(i % 7 == 0 ? 0 : 120 + i % 150);
        f.strings[3] = QByteArray("Probe ") + QByteArray::number(i);
        const QString path = folder + QStringLiteral("/f%1.kpf").arg(i, 5, 10, QLatin1Char('0'));
        writeFile(path, f.bytes());
        paths << path;
    }
    return paths;
}

double perSecond(int count, qint64 ns)
{
    return ns > 0 ? count * 1e9 / double(ns) : 0;
}

double importAll(const QStringList &paths, Store &store, int &failed)
{
    ScriptedMessages messages;
    ImportTarget target(store);
    BoxRecord buffer;
    QElapsedTimer timer;
    timer.start();
    for (const QString &p : paths)
        if (!ImportOneFile(p, p.section(QLatin1Char('/'), -1), buffer, target, messages))
            ++failed;
    return perSecond(int(paths.size()), timer.nsecsElapsed());
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QTextStream out(stdout);
    QTemporaryDir dir;
    const QStringList paths = writeFiles(dir.path());

    ScriptedMessages messages;
    BoxRecord box;
    QElapsedTimer timer;
    timer.start();
    int unread = 0;
    for (const QString &p : paths)
        if (!ReadImportFile(p, box, QStringLiteral("x"), messages))
            ++unread;
    out << "read only:       " << qRound(perSecond(FileCount, timer.nsecsElapsed()))
        << " files/s\n";

    Database db;
    if (!db.open(dir.filePath(QStringLiteral("kovra.mdb")))) {
        out << "cannot open the database\n";
        return 1;
    }
    const Notation notation(QLatin1Char(','), QLatin1Char('.'));
    Store store(db, notation);
    int failed = unread;
    out << "first import:    " << qRound(importAll(paths, store, failed)) << " files/s\n";
    out << "second import:   " << qRound(importAll(paths, store, failed)) << " files/s\n";
    out << "files: " << FileCount << ", failures: " << failed << "\n";
    return failed == 0 ? 0 : 1;
}
