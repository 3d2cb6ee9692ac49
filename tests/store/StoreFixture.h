#pragma once

#include "core/BoxRecord.h"
#include "core/Notation.h"
#include "store/Database.h"
#include "store/Store.h"
#include "support/ScratchDatabase.h"
#include "support/TestSupport.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

// A store on a fresh database: a file in a folder of its own, or a database
// on the test server (see ScratchDatabase).
struct StoreFixture {
    QTemporaryDir dir;
    ScratchDatabase testDatabase { dir.path() };
    Notation notation = commaNotation();
    Database db;
    Store store { db, notation };

    StoreFixture()
    {
        const Database::OpenResult r = db.open(path());
        if (!r)
            qFatal("cannot open test database: %s", qPrintable(r.message));
    }
    // What --db names for this database.
    QString path() const { return testDatabase.target(); }
};

inline QByteArray fileBytes(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// The named control of a dialog; a missing one ends the test run, since
// every later step would only fail less clearly.
template <typename T> T *control(const QObject &dialog, const QString &name)
{
    T *c = dialog.findChild<T *>(name);
    if (!c)
        qFatal("no control %s", qPrintable(name));
    return c;
}

// The specimen data of a box as texts, so two boxes compare in one step and
// a difference shows which field it is in.
inline QStringList specimenTexts(const BoxRecord &b)
{
    const auto n = [](float v) { return QString::number(double(v), 'g', 9); };
    return { b.Kovra, b.Benutzer, b.PruefAm, b.BgArt, n(b.Bg), b.HarzTyp, b.BgVon, b.BgVonAm,
        b.DrVon, b.DrVonAm, b.PaVon, b.PaVonAm, n(b.GesGew), n(b.PaGew), n(b.Luftdurch), n(b.Temp),
        n(b.Feuchte), n(b.Fluss), n(b.Asche), b.Bemerk, b.GrwBez.text() };
}

// A graph box whose every field is derived from seed, with `points` curve
// points followed by the end mark.
inline BoxRecord sampleGraph(int seed, int points = 12)
{
    BoxRecord b;
    b.Status = BoxStatus::Graph;
    b.Kovra = QStringLiteral("graph %1").arg(seed);
    b.Benutzer = QStringLiteral("user %1").arg(seed);
    b.PruefAm = QStringLiteral("05.12.26");
    b.BgArt = QStringLiteral("type");
    b.Bg = 1.5f + seed;
    b.HarzTyp = QStringLiteral("resin");
    b.BgVon = QStringLiteral("impregnator");
    b.BgVonAm = QStringLiteral("01.02.25");
    b.DrVon = QStringLiteral("printer");
    b.DrVonAm = QStringLiteral("02.03.25");
    b.PaVon = QStringLiteral("paper maker");
    b.PaVonAm = QStringLiteral("03.04.25");
    b.GesGew = 120.25f;
    b.PaGew = 80;
    b.Luftdurch = 12.5f;
    b.Temp = 21;
    b.Feuchte = 4.5f;
    b.Fluss = 3.25f;
    b.Asche = 0.75f;
    b.Bemerk = QStringLiteral("line one\r\nline two");
    b.GrwBez = QStringLiteral("limits A");
    for (int k = 1; k <= 10; ++k)
        b.Ein[k] = float(k) + 0.5f;
    for (int k = 1; k <= 5; ++k) {
        b.Erg[k] = float(seed % 100) + k;
        b.GwO[k] = 100.0f + k;
        b.GWU[k] = float(k);
    }
    for (int i = 0; i < points; ++i) {
        b.x[i] = float((seed + i) % 100) + 0.5f;
        b.y[i] = float(i * 6);
    }
    b.x[points] = CurveEndMark;
    b.y[points] = 0;
    return b;
}
