#pragma once

#include "FormFixture.h"

#include "evaluation/LimitEditor.h"
#include "evaluation/LimitFileOrganisation.h"
#include "evaluation/SpecimenForm.h"
#include "exchange/ExportDialog.h"
#include "exchange/ImportDialog.h"
#include "instrument/MeasurementRun.h"
#include "instrument/MeasurementWindow.h"
#include "shell/Application.h"
#include "shell/MainWindow.h"
#include "shell/ScriptedMessages.h"
#include "shell/Settings.h"
#include "simulator/NetPcSimulator.h"
#include "store/DirectoryDialog.h"
#include "store/GraphPatternDialog.h"
#include "store/SettingsTables.h"
#include "store/Store.h"

#include <QAction>
#include <QDir>
#include <QElapsedTimer>
#include <QFileSystemModel>
#include <QLineEdit>
#include <QListView>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <QtTest>
#include <algorithm>
#include <array>
#include <functional>
#include <memory>

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
    // Longest a story waits for the program; far above what any step needs,
    // so a hang fails the story instead of the whole run.
    static constexpr int StepTimeoutMs = 20000;

    template <typename T> static T *control(QObject *parent, const QString &name);
    static QPushButton *button(QObject *parent, const char *name);
    // Types text over what the field holds, key by key, as the operator does.
    static void typeInto(QLineEdit *field, const QString &text);
    static void clickEnabled(QPushButton *b);

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

// The steps are defined here, in the header, so that only the stories
// compile them: the other tests do not depend on every window.

template <typename T> T *OperatorSession::control(QObject *parent, const QString &name)
{
    T *c = parent->findChild<T *>(name);
    if (!c)
        qFatal("no control %s in %s", qPrintable(name), qPrintable(parent->objectName()));
    return c;
}

inline QPushButton *OperatorSession::button(QObject *parent, const char *name)
{
    return control<QPushButton>(parent, QLatin1String(name));
}

inline void OperatorSession::typeInto(QLineEdit *field, const QString &text)
{
    if (text.isEmpty())
        return;
    field->selectAll();
    QTest::keyClicks(field, text);
}

inline void OperatorSession::clickEnabled(QPushButton *b)
{
    QVERIFY2(b->isEnabled(), qPrintable(b->objectName() + QStringLiteral(" is disabled")));
    b->click();
}

inline SpecimenEntry SpecimenEntry::sample(const QString &name)
{
    SpecimenEntry e;
    e.name = name;
    e.user = QStringLiteral("Meier");
    e.impregnationType = QStringLiteral("Dekor");
    e.level = QStringLiteral("112.5");
    e.resin = QStringLiteral("Melamin");
    e.impregnator = QStringLiteral("Schmidt");
    e.printer = QStringLiteral("Druck AG");
    e.paperMaker = QStringLiteral("Papier GmbH");
    e.totalWeight = QStringLiteral("180");
    e.paperWeight = QStringLiteral("80");
    e.airPermeability = QStringLiteral("12");
    e.moisture = QStringLiteral("6.5");
    e.notes = QStringLiteral("Charge 4711");
    return e;
}

inline void chooseEntry(QListWidget *list, const QString &text)
{
    const QList<QListWidgetItem *> found = list->findItems(text, Qt::MatchExactly);
    QVERIFY2(!found.isEmpty(),
        qPrintable(QStringLiteral("no entry \"%1\" in %2: %3")
                       .arg(text, list->objectName(), listTexts(list).join(QLatin1String(", ")))));
    list->setCurrentItem(found.first());
}

inline QStringList listTexts(const QListWidget *list)
{
    QStringList out;
    for (int i = 0; i < list->count(); ++i)
        out << list->item(i)->text();
    return out;
}

OperatorSession::OperatorSession(double simulatorSpeed)
{
    SimulatorOptions o;
    o.speed = simulatorSpeed;
    o.gapMs = 1;
    simulator.setOptions(o);
    if (!simulator.listen(QHostAddress::LocalHost))
        qFatal("the simulator cannot listen");
}

OperatorSession::~OperatorSession()
{
    // The story may end anywhere; nothing must ask the operator now.
    m_app.reset();
}

inline QString OperatorSession::databasePath() const
{
    return m_dir.filePath(QStringLiteral("kovra.mdb"));
}

inline void OperatorSession::start()
{
    const CommandLine commandLine = CommandLine::parse({ QStringLiteral("--db"), databasePath(),
        QStringLiteral("--netpc"), QStringLiteral("127.0.0.1:%1").arg(simulator.serverPort()) });
    QVERIFY(commandLine.error.isEmpty());
    m_app.reset();
    m_app = std::make_unique<ZandorApplication>(commandLine, &messages);
    QSignalSpy started(m_app.get(), &ZandorApplication::started);
    QVERIFY(m_app->start());
    QVERIFY(started.wait(StepTimeoutMs));
    QVERIFY(QTest::qWaitForWindowExposed(m_app->mainWindow()));
}

inline void OperatorSession::restart()
{
    start();
}

inline FrmKovra &OperatorSession::window()
{
    return *m_app->mainWindow();
}

inline Settings &OperatorSession::settings()
{
    return m_app->settings();
}

inline Store &OperatorSession::store()
{
    return *m_app->store();
}

inline BoxRecord &OperatorSession::box(int k)
{
    return settings().Box(k);
}

inline const Notation &OperatorSession::notation()
{
    return m_app->context().notation;
}

inline void OperatorSession::selectBox(int box)
{
    window().cmdAEB[size_t(box - 1)]->click();
    QCOMPARE(settings().ActiveBox, box);
}

inline void OperatorSession::chooseScope(float minutes)
{
    const int index = ScopeIndex(minutes);
    QVERIFY(index > 0);
    window().ZbOption[size_t(index)]->click();
    QCOMPARE(settings().ScopeOfTime, minutes);
}

inline void OperatorSession::createDirectory(int type, const QString &name)
{
    whenModal<FrmVzV>([&](FrmVzV *dialog) {
        QCOMPARE(dialog->windowTitle(), QStringLiteral("Directory create"));
        control<QRadioButton>(dialog, QStringLiteral("optVzV_%1").arg(type))->click();
        QTest::keyClicks(control<QLineEdit>(dialog, QStringLiteral("txtNeu")), name);
        clickEnabled(button(dialog, "cmdVzVOk"));
        QVERIFY(listTexts(control<QListWidget>(dialog, QStringLiteral("List1"))).contains(name));
        button(dialog, "cmdVzVAb")->click();
    });
    window().mnuVzVE->trigger();
}

inline void OperatorSession::createLimitFile(
    const QString &directory, const QString &name, const LimitEntry &limits)
{
    whenModal<FrmGrwOrg>([&](FrmGrwOrg *org) {
        chooseEntry(control<QListWidget>(org, QStringLiteral("List1")), directory);
        whenModal<FrmGrw>([&](FrmGrw *editor) {
            for (int k = 1; k <= 5; ++k) {
                typeInto(control<QLineEdit>(editor, QStringLiteral("medUgs_%1").arg(k - 1)),
                    limits.lower[size_t(k)]);
                typeInto(control<QLineEdit>(editor, QStringLiteral("medOgs_%1").arg(k - 1)),
                    limits.upper[size_t(k)]);
            }
            QTest::keyClicks(control<QLineEdit>(editor, QStringLiteral("txtNeu")), name);
            clickEnabled(button(editor, "cmdGrwOK"));
        });
        clickEnabled(button(org, "cmdGrwOrgNeu"));
        QVERIFY2(listTexts(control<QListWidget>(org, QStringLiteral("List2"))).contains(name),
            qPrintable(messages.texts().join("/")));
        button(org, "cmdGrwOrgOk")->click();
    });
    window().mnuGwV->trigger();
}

inline void OperatorSession::enterSpecimen(
    const SpecimenEntry &entry, const std::function<void(FrmEbn *)> &act)
{
    whenModal<FrmEbn>([&](FrmEbn *form) {
        const auto field
            = [form](const char *name) { return control<QLineEdit>(form, QLatin1String(name)); };
        typeInto(field("EbnKovra"), entry.name);
        typeInto(field("EbnBenutzer"), entry.user);
        typeInto(field("EbnBgArt"), entry.impregnationType);
        typeInto(field("EbnBg"), entry.level);
        typeInto(field("EbnHarztyp"), entry.resin);
        typeInto(field("EbnBgVon"), entry.impregnator);
        typeInto(field("EbnDrVon"), entry.printer);
        typeInto(field("EbnPaVon"), entry.paperMaker);
        typeInto(field("EbnGesGew"), entry.totalWeight);
        typeInto(field("EbnPaGew"), entry.paperWeight);
        typeInto(field("EbnLuftdurch"), entry.airPermeability);
        typeInto(field("EbnFeuchte"), entry.moisture);
        if (!entry.notes.isEmpty()) {
            auto *notes = control<QPlainTextEdit>(form, QStringLiteral("EbnBemerk"));
            notes->selectAll();
            QTest::keyClicks(notes, entry.notes);
        }
        if (act)
            act(form);
        if (form->isVisible() && !QTest::currentTestFailed())
            button(form, "cmdEbnAb")->click();
    });
    window().cmdGoEb->click();
}

inline void OperatorSession::relateLimitFile(
    FrmEbn *form, const QString &directory, const QString &file)
{
    whenModal<FrmGrwOrg>([&](FrmGrwOrg *org) {
        QVERIFY(button(org, "cmdGrwOrgZO")->isVisible());
        chooseEntry(control<QListWidget>(org, QStringLiteral("List1")), directory);
        chooseEntry(control<QListWidget>(org, QStringLiteral("List2")), file);
        clickEnabled(button(org, "cmdGrwOrgZO"));
    });
    button(form, "cmdEbnGrw")->click();
}

inline MeasurementSeen OperatorSession::startMeasurement(
    FrmEbn *form, int atPoint, const std::function<void(FrmMessen *)> &during)
{
    MeasurementSeen seen;
    bool duringDone = !during;
    QElapsedTimer clock;
    clock.start();
    // The run lives in the measurement window's own event loop; the test
    // looks in on it between two replies.
    QTimer watch;
    QObject::connect(&watch, &QTimer::timeout, [&] {
        auto *window = qobject_cast<FrmMessen *>(QApplication::activeModalWidget());
        if (!window)
            return;
        seen.caption = window->windowTitle();
        const int point = control<QLineEdit>(window, QStringLiteral("Text1"))->text().toInt();
        seen.lastPoint = std::max(seen.lastPoint, point);
        QPushButton *end = button(window, "cmdMessenBe");
        QPushButton *back = button(window, "cmdMessenAb");
        const bool running = window->run() && window->run()->isRunning();
        if (running && point > 0 && !seen.seenRunning) {
            seen.seenRunning = true;
            seen.endEnabled = end->isEnabled();
            seen.returnEnabled = back->isEnabled();
        }
        if (!duringDone && running && point >= atPoint) {
            duringDone = true;
            during(window);
        }
        if (clock.elapsed() > StepTimeoutMs) {
            seen.timedOut = true;
            if (end->isEnabled())
                end->click();
            else if (!running)
                back->click();
        }
    });
    watch.start(2);
    button(form, "cmdEbnMess")->click();
    watch.stop();
    return seen;
}

inline MeasurementSeen OperatorSession::measure(int box, const SpecimenEntry &entry)
{
    MeasurementSeen seen;
    selectBox(box);
    enterSpecimen(entry, [&](FrmEbn *form) { seen = startMeasurement(form); });
    return seen;
}

inline SaveSeen OperatorSession::saveActiveBox(const QString &directory, const QString &name)
{
    SaveSeen seen;
    whenModal<FrmDOrg>([&](FrmDOrg *dialog) {
        seen.title = dialog->windowTitle();
        seen.suggestedName = control<QLineEdit>(dialog, QStringLiteral("txtNeu"))->text();
        seen.graphChosen = control<QRadioButton>(dialog, QStringLiteral("optDOrg_0"))->isChecked();
        chooseEntry(control<QListWidget>(dialog, QStringLiteral("List1")), directory);
        if (!name.isEmpty()) {
            auto *field = control<QLineEdit>(dialog, QStringLiteral("txtNeu"));
            field->clear();
            QTest::keyClicks(field, name);
        }
        clickEnabled(button(dialog, "cmdDOrgOk"));
        QVERIFY2(!dialog->isVisible(), "the save dialog stayed open");
    });
    window().cmdSv->click();
    return seen;
}

inline void OperatorSession::loadIntoActiveBox(
    int type, const QString &directory, const QString &name)
{
    whenModal<FrmDOrg>([&](FrmDOrg *dialog) {
        control<QRadioButton>(dialog, QStringLiteral("optDOrg_%1").arg(type))->click();
        chooseEntry(control<QListWidget>(dialog, QStringLiteral("List1")), directory);
        chooseEntry(control<QListWidget>(dialog, QStringLiteral("List2")), name);
        clickEnabled(button(dialog, "cmdDOrgOk"));
        QVERIFY2(!dialog->isVisible(), "the load dialog stayed open");
    });
    window().cmdLa->click();
}

inline void OperatorSession::exportGraph(
    const QString &directory, const QString &name, const QString &folder, const QString &fileName)
{
    whenModal<FrmDOrg>([&](FrmDOrg *dialog) {
        chooseEntry(control<QListWidget>(dialog, QStringLiteral("List1")), directory);
        chooseEntry(control<QListWidget>(dialog, QStringLiteral("List2")), name);
        whenModal<FrmExp>([&](FrmExp *exp) {
            exp->setDirectoryPath(folder);
            auto *text = control<QLineEdit>(exp, QStringLiteral("Text1"));
            QCOMPARE(text->text(), QStringLiteral("export.dat"));
            text->selectAll();
            QTest::keyClicks(text, fileName);
            button(exp, "cmdImp")->click();
        });
        clickEnabled(button(dialog, "cmdDOrgOk"));
        QVERIFY2(!dialog->isVisible(), "the export dialog stayed open");
    });
    window().mnuEx->trigger();
}

inline void OperatorSession::importFiles(const QString &folder, const QStringList &names)
{
    whenModal<FrmImp>([&](FrmImp *dialog) {
        dialog->setDirectoryPath(folder);
        auto *list = control<QListView>(dialog, QStringLiteral("filList"));
        auto *model = static_cast<QFileSystemModel *>(list->model());
        // The file list fills itself in the background.
        const auto rowOf = [&](const QString &name) {
            for (int row = 0; row < model->rowCount(list->rootIndex()); ++row)
                if (model->index(row, 0, list->rootIndex()).data().toString() == name)
                    return row;
            return -1;
        };
        QVERIFY(QTest::qWaitFor(
            [&] {
                return std::all_of(
                    names.begin(), names.end(), [&](const QString &n) { return rowOf(n) >= 0; });
            },
            StepTimeoutMs));
        for (const QString &name : names)
            list->selectionModel()->select(
                model->index(rowOf(name), 0, list->rootIndex()), QItemSelectionModel::Select);
        button(dialog, "cmdImp")->click();
        QVERIFY(list->selectionModel()->selectedIndexes().isEmpty());
        button(dialog, "cmdZu")->click();
    });
    window().mnuImp->trigger();
}

inline void OperatorSession::snapshot(QWidget *widget, const QString &name)
{
    const QString folder = qEnvironmentVariable("ZANDOR_SHOTS_DIR");
    if (folder.isEmpty())
        return;
    QCoreApplication::processEvents();
    widget->grab().save(QDir(folder).filePath(name + QStringLiteral(".png")));
}
