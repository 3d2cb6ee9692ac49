#pragma once

#include "shell/Application.h"
#include "shell/ScriptedMessages.h"
#include "simulator/NetPcSimulator.h"

#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <array>
#include <functional>
#include <memory>

class FrmEbn;
class FrmKovra;
class FrmMessen;
class QListWidget;
class QWidget;
class Store;
struct BoxRecord;
struct Settings;

// What the operator types into the specimen form, field by field; an empty
// text leaves the field as the form shows it.
struct SpecimenEntry {
    QString name;
    QString user;
    QString impregnationType;
    QString level;
    QString resin;
    QString impregnator;
    QString printer;
    QString paperMaker;
    QString totalWeight;
    QString paperWeight;
    QString airPermeability;
    QString moisture;
    QString notes;

    static SpecimenEntry sample(const QString &name);
};

// A limit file as the operator types it into the limit editor, results 1..5.
struct LimitEntry {
    std::array<QString, 6> lower;
    std::array<QString, 6> upper;
};

// What the operator saw of a measurement while it ran.
struct MeasurementSeen {
    QString caption;
    bool seenRunning = false; // the window was caught between two points
    bool endEnabled = false; // "&End measurement" while running
    bool returnEnabled = true; // "&Return" while running
    int lastPoint = 0; // highest point number shown
    bool timedOut = false; // the run had to be ended by the test
};

// What the operator saw of the save dialog when it opened.
struct SaveSeen {
    QString title;
    QString suggestedName; // the name field
    bool graphChosen = false;
};

// The program as an operator meets it: started against the in-process
// NetPC simulator on a database file of its own, and driven through its
// windows only. Failures are reported through QtTest; a story stops at the
// first one (see STEP).
class OperatorSession
{
public:
    explicit OperatorSession(double simulatorSpeed = 2000);
    ~OperatorSession();

    // Starts the program (again, on the same database and simulator).
    void start();
    // Ends a running program without any question, as if it had never been
    // changed, and starts it anew.
    void restart();

    ZandorApplication &app() { return *m_app; }
    FrmKovra &window();
    Settings &settings();
    Store &store();
    BoxRecord &box(int k);
    const Notation &notation();
    ScriptedMessages messages;
    NetPcSimulator simulator;
    QString databasePath() const;
    QString folder() const { return m_dir.path(); }
    QString filePath(const QString &name) const { return m_dir.filePath(name); }

    // Main window.
    void selectBox(int box);
    void chooseScope(float minutes);

    // "Di&rectory management" > "Directory &create...".
    void createDirectory(int type, const QString &name);
    // "Li&mit management..." > "&New" in the directory named `directory`.
    void createLimitFile(const QString &directory, const QString &name, const LimitEntry &limits);

    // "&Box": the specimen form of the active box. The fields of `entry`
    // are typed, then `act` runs on the open form; the form is left with
    // "&Return" unless act closed it.
    void enterSpecimen(const SpecimenEntry &entry, const std::function<void(FrmEbn *)> &act = {});
    // In the open specimen form: "Relate &Limit-File".
    void relateLimitFile(FrmEbn *form, const QString &directory, const QString &file);
    // In the open specimen form: "&Start measurement", waiting until the
    // measurement window has closed. `during` runs once on the window when
    // it shows point `atPoint` or later.
    MeasurementSeen startMeasurement(
        FrmEbn *form, int atPoint = 0, const std::function<void(FrmMessen *)> &during = {});
    // The whole road: select box, type the specimen, measure.
    MeasurementSeen measure(int box, const SpecimenEntry &entry);

    // "&Save" into `directory` (of the box's kind) under the name in the
    // form's name field, or `name` when given.
    SaveSeen saveActiveBox(const QString &directory, const QString &name = {});
    // "&Load" the record `name` of the graph (type 0) or pattern directory.
    void loadIntoActiveBox(int type, const QString &directory, const QString &name);
    // "Graph/Pattern &export..." of a graph into `fileName` in `folder`.
    void exportGraph(const QString &directory, const QString &name, const QString &folder,
        const QString &fileName);
    // "&Import graphs..." of the files `names` in `folder`.
    void importFiles(const QString &folder, const QStringList &names);

    // Saves a picture of widget as <name>.png when ZANDOR_SHOTS_DIR names a
    // folder; the stories then double as the README's picture run.
    static void snapshot(QWidget *widget, const QString &name);

private:
    QTemporaryDir m_dir;
    std::unique_ptr<ZandorApplication> m_app;
};

// Selects the entry with exactly this text; a failed QtTest check otherwise.
void chooseEntry(QListWidget *list, const QString &text);
QStringList listTexts(const QListWidget *list);

// Runs a step of a story and leaves the story when it failed.
#define STEP(statement)                                                                            \
    do {                                                                                           \
        statement;                                                                                 \
        if (QTest::currentTestFailed())                                                            \
            return;                                                                                \
    } while (false)
