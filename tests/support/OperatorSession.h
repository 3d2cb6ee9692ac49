#pragma once

#include "FormFixture.h"
#include "ScratchDatabase.h"

#include "core/SettingsTables.h"
#include "evaluation/LimitFileOrganisation.h"
#include "exchange/ExportDialog.h"
#include "exchange/GraphPatternDialog.h"
#include "exchange/ImportDialog.h"
#include "instrument/MeasurementRun.h"
#include "instrument/MeasurementWindow.h"
#include "instrument/SpecimenForm.h"
#include "shell/Application.h"
#include "shell/MainWindow.h"
#include "simulator/NetPcSimulator.h"
#include "store/DirectoryDialog.h"

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
#include <QtTest>

// What the operator types into the specimen form: field name and text, in
// the order typed. A field not named keeps what the form shows.
using SpecimenEntry = QList<std::pair<QString, QString>>;

inline SpecimenEntry sampleSpecimen(const QString &name)
{
    return { { "EbnKovra", name }, { "EbnBenutzer", "Meier" }, { "EbnBg", "112.5" },
        { "EbnHarztyp", "Melamin" }, { "EbnPaGew", "80" }, { "EbnFeuchte", "6.5" },
        { "EbnBemerk", "Charge 4711" } };
}

// The measurement window's caption, and whether the test ended a hung run.
struct MeasurementSeen {
    QString caption;
    bool timedOut = false;
};

inline void chooseEntry(QListWidget *list, const QString &text)
{
    const QList<QListWidgetItem *> found = list->findItems(text, Qt::MatchExactly);
    QVERIFY2(!found.isEmpty(),
        qPrintable(QStringLiteral("no \"%1\" in %2").arg(text, list->objectName())));
    list->setCurrentItem(found.first());
}

// Runs a step of a story and leaves the story when it failed.
#define STEP(statement)                                                                            \
    do {                                                                                           \
        statement;                                                                                 \
        if (QTest::currentTestFailed())                                                            \
            return;                                                                                \
    } while (false)

// The program as an operator meets it: against the in-process simulator, on
// a database file of its own, driven through its windows only.
class OperatorSession
{
public:
    explicit OperatorSession(double simulatorSpeed = 2000)
    {
        SimulatorOptions o;
        o.speed = simulatorSpeed;
        o.gapMs = 1;
        simulator.setOptions(o);
        if (!simulator.listen(QHostAddress::LocalHost))
            qFatal("the simulator cannot listen");
    }

    // Starts the program (again, on the same database and simulator); a
    // running one ends without any question.
    void start()
    {
        const CommandLine commandLine = CommandLine::parse(
            { QStringLiteral("--db"), databasePath(), QStringLiteral("--netpc"),
                QStringLiteral("127.0.0.1:%1").arg(simulator.serverPort()) });
        m_app.reset();
        m_app = std::make_unique<ZandorApplication>(commandLine, &messages);
        QSignalSpy started(m_app.get(), &ZandorApplication::started);
        QVERIFY(m_app->start());
        QVERIFY(started.wait(StepTimeoutMs));
        QVERIFY(QTest::qWaitForWindowExposed(m_app->mainWindow()));
    }

    ZandorApplication &app() { return *m_app; }
    FrmKovra &window() { return *m_app->mainWindow(); }
    Settings &settings() { return m_app->settings(); }
    Store &store() { return *m_app->store(); }
    BoxRecord &box(int k) { return settings().Box(k); }
    const Notation &notation() { return m_app->context().notation; }
    // The database file in the session's folder, or on a server run a
    // database of the session's own on the test server.
    QString databasePath() const { return m_database.target(); }
    QString folder() const { return m_dir.path(); }
    QString filePath(const QString &name) const { return m_dir.filePath(name); }

    ScriptedMessages messages;
    NetPcSimulator simulator;

    void selectBox(int box)
    {
        window().cmdAEB[size_t(box - 1)]->click();
        QCOMPARE(settings().ActiveBox, box);
    }

    void chooseScope(float minutes)
    {
        window().ZbOption[size_t(ScopeIndex(minutes))]->click();
        QCOMPARE(settings().ScopeOfTime, minutes);
    }

    // "Di&rectory management" > "Directory &create...".
    void createDirectory(int type, const QString &name)
    {
        whenModal<FrmVzV>([&](FrmVzV *dialog) {
            control<QRadioButton>(dialog, QStringLiteral("optVzV_%1").arg(type))->click();
            QTest::keyClicks(control<QLineEdit>(dialog, "txtNeu"), name);
            clickEnabled(control<QPushButton>(dialog, "cmdVzVOk"));
            QVERIFY(!control<QListWidget>(dialog, "List1")
                         ->findItems(name, Qt::MatchExactly)
                         .isEmpty());
            control<QPushButton>(dialog, "cmdVzVAb")->click();
        });
        window().mnuVzVE->trigger();
    }

    // "&Box": the specimen form of the active box. The fields of `entry`
    // are typed, then `act` runs on the open form; the form is left with
    // "&Return" unless act closed it.
    void enterSpecimen(const SpecimenEntry &entry, const std::function<void(FrmEbn *)> &act = {})
    {
        whenModal<FrmEbn>([&](FrmEbn *form) {
            for (const auto &[field, text] : entry) {
                if (auto *notes = form->findChild<QPlainTextEdit *>(field)) {
                    notes->selectAll();
                    QTest::keyClicks(notes, text);
                } else {
                    typeInto(control<QLineEdit>(form, field), text);
                }
            }
            if (act)
                act(form);
            if (form->isVisible() && !QTest::currentTestFailed())
                control<QPushButton>(form, "cmdEbnAb")->click();
        });
        window().cmdGoEb->click();
    }

    // In the open specimen form: "Relate &Limit-File".
    void relateLimitFile(FrmEbn *form, const QString &directory, const QString &file)
    {
        whenModal<FrmGrwOrg>([&](FrmGrwOrg *org) {
            chooseEntry(control<QListWidget>(org, "List1"), directory);
            chooseEntry(control<QListWidget>(org, "List2"), file);
            clickEnabled(control<QPushButton>(org, "cmdGrwOrgZO"));
        });
        control<QPushButton>(form, "cmdEbnGrw")->click();
    }

    // In the open specimen form: "&Start measurement", waiting until the
    // measurement window has closed. `during` runs once on the window when
    // it shows point `atPoint` or later.
    MeasurementSeen startMeasurement(
        FrmEbn *form, int atPoint = 0, const std::function<void(FrmMessen *)> &during = {})
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
            const int point = control<QLineEdit>(window, "Text1")->text().toInt();
            QPushButton *end = control<QPushButton>(window, "cmdMessenBe");
            const bool running = window->run() && window->run()->isRunning();
            if (!duringDone && running && point >= atPoint) {
                duringDone = true;
                during(window);
            }
            if (clock.elapsed() > StepTimeoutMs) {
                seen.timedOut = true;
                if (end->isEnabled())
                    end->click();
                else if (!running)
                    control<QPushButton>(window, "cmdMessenAb")->click();
            }
        });
        watch.start(2);
        control<QPushButton>(form, "cmdEbnMess")->click();
        return seen;
    }

    // The whole road: select box, type the specimen, measure.
    void measure(int box, const SpecimenEntry &entry)
    {
        selectBox(box);
        enterSpecimen(entry, [&](FrmEbn *form) { QVERIFY(!startMeasurement(form).timedOut); });
    }

    // "&Save" into `directory` under the suggested name, which it returns.
    QString saveActiveBox(const QString &directory)
    {
        QString seen;
        whenModal<FrmDOrg>([&](FrmDOrg *dialog) {
            seen = control<QLineEdit>(dialog, "txtNeu")->text();
            chooseEntry(control<QListWidget>(dialog, "List1"), directory);
            clickEnabled(control<QPushButton>(dialog, "cmdDOrgOk"));
            QVERIFY2(!dialog->isVisible(), "the save dialog stayed open");
        });
        window().cmdSv->click();
        return seen;
    }

    // "&Load" the record `name` of the graph (type 0) or pattern directory.
    void loadIntoActiveBox(int type, const QString &directory, const QString &name)
    {
        whenModal<FrmDOrg>([&](FrmDOrg *dialog) {
            control<QRadioButton>(dialog, QStringLiteral("optDOrg_%1").arg(type))->click();
            chooseEntry(control<QListWidget>(dialog, "List1"), directory);
            chooseEntry(control<QListWidget>(dialog, "List2"), name);
            clickEnabled(control<QPushButton>(dialog, "cmdDOrgOk"));
            QVERIFY2(!dialog->isVisible(), "the load dialog stayed open");
        });
        window().cmdLa->click();
    }

    // "Graph/Pattern &export..." of a graph into `fileName` in folder().
    void exportGraph(const QString &directory, const QString &name, const QString &fileName)
    {
        whenModal<FrmDOrg>([&](FrmDOrg *dialog) {
            chooseEntry(control<QListWidget>(dialog, "List1"), directory);
            chooseEntry(control<QListWidget>(dialog, "List2"), name);
            whenModal<FrmExp>([&](FrmExp *exp) {
                exp->setDirectoryPath(folder());
                typeInto(control<QLineEdit>(exp, "Text1"), fileName);
                control<QPushButton>(exp, "cmdImp")->click();
            });
            clickEnabled(control<QPushButton>(dialog, "cmdDOrgOk"));
            QVERIFY2(!dialog->isVisible(), "the export dialog stayed open");
        });
        window().mnuEx->trigger();
    }

    // "&Import graphs..." of the file `name` in folder().
    void importFile(const QString &name)
    {
        whenModal<FrmImp>([&](FrmImp *dialog) {
            dialog->setDirectoryPath(folder());
            auto *list = control<QListView>(dialog, "filList");
            auto *model = static_cast<QFileSystemModel *>(list->model());
            const auto fileIndex = [&] {
                for (int row = 0; row < model->rowCount(list->rootIndex()); ++row)
                    if (model->index(row, 0, list->rootIndex()).data().toString() == name)
                        return model->index(row, 0, list->rootIndex());
                return QModelIndex();
            };
            // The file list fills itself in the background.
            QVERIFY(QTest::qWaitFor([&] { return fileIndex().isValid(); }, StepTimeoutMs));
            list->selectionModel()->select(fileIndex(), QItemSelectionModel::Select);
            control<QPushButton>(dialog, "cmdImp")->click();
            QVERIFY(list->selectionModel()->selectedIndexes().isEmpty());
            control<QPushButton>(dialog, "cmdZu")->click();
        });
        window().mnuImp->trigger();
    }

    // Saves a picture of widget as <name>.png when ZANDOR_SHOTS_DIR names a
    // folder; the stories then double as the README's picture run.
    static void snapshot(QWidget *widget, const QString &name)
    {
        const QString folder = qEnvironmentVariable("ZANDOR_SHOTS_DIR");
        if (folder.isEmpty())
            return;
        QCoreApplication::processEvents();
        widget->grab().save(QDir(folder).filePath(name + QStringLiteral(".png")));
    }

private:
    // Far above what any step needs: a hang fails the story, not the run.
    static constexpr int StepTimeoutMs = 20000;

    template <typename T> static T *control(QObject *parent, const QString &name)
    {
        T *c = parent->findChild<T *>(name);
        if (!c)
            qFatal("no control %s in %s", qPrintable(name), qPrintable(parent->objectName()));
        return c;
    }
    // Types text over what the field holds, key by key, as the operator does.
    static void typeInto(QLineEdit *field, const QString &text)
    {
        field->selectAll();
        QTest::keyClicks(field, text);
    }
    static void clickEnabled(QPushButton *b)
    {
        QVERIFY2(b->isEnabled(), qPrintable(b->objectName() + QStringLiteral(" is disabled")));
        b->click();
    }

    QTemporaryDir m_dir;
    ScratchDatabase m_database { m_dir.path() };
    std::unique_ptr<ZandorApplication> m_app;
};
