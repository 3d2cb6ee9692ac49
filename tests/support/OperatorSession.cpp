#include "OperatorSession.h"

#include "FormFixture.h"

#include "evaluation/LimitEditor.h"
#include "evaluation/LimitFileOrganisation.h"
#include "evaluation/SpecimenForm.h"
#include "exchange/ExportDialog.h"
#include "exchange/ImportDialog.h"
#include "instrument/MeasurementRun.h"
#include "instrument/MeasurementWindow.h"
#include "shell/MainWindow.h"
#include "shell/Settings.h"
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
#include <QtTest>

namespace
{

// Longest a story may wait for the program; far above what any step needs,
// so a hang fails the story instead of the whole run.
constexpr int StepTimeoutMs = 20000;

template <typename T> T *control(QObject *parent, const QString &name)
{
    T *c = parent->findChild<T *>(name);
    if (!c)
        qFatal("no control %s in %s", qPrintable(name), qPrintable(parent->objectName()));
    return c;
}

QPushButton *button(QObject *parent, const char *name)
{
    return control<QPushButton>(parent, QLatin1String(name));
}

// Types text over what the field holds, key by key, as the operator does.
void typeInto(QLineEdit *field, const QString &text)
{
    if (text.isEmpty())
        return;
    field->selectAll();
    QTest::keyClicks(field, text);
}

void clickEnabled(QPushButton *b)
{
    QVERIFY2(b->isEnabled(), qPrintable(b->objectName() + QStringLiteral(" is disabled")));
    b->click();
}

} // namespace

SpecimenEntry SpecimenEntry::sample(const QString &name)
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

void chooseEntry(QListWidget *list, const QString &text)
{
    const QList<QListWidgetItem *> found = list->findItems(text, Qt::MatchExactly);
    QVERIFY2(!found.isEmpty(),
        qPrintable(QStringLiteral("no entry \"%1\" in %2: %3")
                       .arg(text, list->objectName(), listTexts(list).join(QLatin1String(", ")))));
    list->setCurrentItem(found.first());
}

QStringList listTexts(const QListWidget *list)
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

QString OperatorSession::databasePath() const
{
    return m_dir.filePath(QStringLiteral("kovra.mdb"));
}

void OperatorSession::start()
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

void OperatorSession::restart()
{
    start();
}

FrmKovra &OperatorSession::window()
{
    return *m_app->mainWindow();
}

Settings &OperatorSession::settings()
{
    return m_app->settings();
}

Store &OperatorSession::store()
{
    return *m_app->store();
}

BoxRecord &OperatorSession::box(int k)
{
    return settings().Box(k);
}

const Notation &OperatorSession::notation()
{
    return m_app->context().notation;
}

void OperatorSession::selectBox(int box)
{
    window().cmdAEB[size_t(box - 1)]->click();
    QCOMPARE(settings().ActiveBox, box);
}

void OperatorSession::chooseScope(float minutes)
{
    const int index = ScopeIndex(minutes);
    QVERIFY(index > 0);
    window().ZbOption[size_t(index)]->click();
    QCOMPARE(settings().ScopeOfTime, minutes);
}

void OperatorSession::createDirectory(int type, const QString &name)
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

void OperatorSession::createLimitFile(
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

void OperatorSession::enterSpecimen(
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

void OperatorSession::relateLimitFile(FrmEbn *form, const QString &directory, const QString &file)
{
    whenModal<FrmGrwOrg>([&](FrmGrwOrg *org) {
        QVERIFY(button(org, "cmdGrwOrgZO")->isVisible());
        chooseEntry(control<QListWidget>(org, QStringLiteral("List1")), directory);
        chooseEntry(control<QListWidget>(org, QStringLiteral("List2")), file);
        clickEnabled(button(org, "cmdGrwOrgZO"));
    });
    button(form, "cmdEbnGrw")->click();
}

MeasurementSeen OperatorSession::startMeasurement(
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

MeasurementSeen OperatorSession::measure(int box, const SpecimenEntry &entry)
{
    MeasurementSeen seen;
    selectBox(box);
    enterSpecimen(entry, [&](FrmEbn *form) { seen = startMeasurement(form); });
    return seen;
}

SaveSeen OperatorSession::saveActiveBox(const QString &directory, const QString &name)
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

void OperatorSession::loadIntoActiveBox(int type, const QString &directory, const QString &name)
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

void OperatorSession::exportGraph(
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

void OperatorSession::importFiles(const QString &folder, const QStringList &names)
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

void OperatorSession::snapshot(QWidget *widget, const QString &name)
{
    const QString folder = qEnvironmentVariable("ZANDOR_SHOTS_DIR");
    if (folder.isEmpty())
        return;
    QCoreApplication::processEvents();
    widget->grab().save(QDir(folder).filePath(name + QStringLiteral(".png")));
}
