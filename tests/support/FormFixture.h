#pragma once

#include "core/AppContext.h"
#include "core/Notation.h"
#include "core/ScriptedMessages.h"
#include "core/Settings.h"
#include "store/Database.h"
#include "store/Store.h"

#include <QApplication>
#include <QDialog>
#include <QFocusEvent>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <functional>
#include <memory>

// What a dialog of the program needs: settings, scripted messages and a
// store on a fresh database file of its own.
struct FormFixture {
    explicit FormFixture(const Notation &n)
        : notation(n)
        , store(db, notation)
    {
        opened = db.open(dir.filePath(QStringLiteral("kovra.mdb"))).ok();
    }

    Settings settings;
    Notation notation;
    ScriptedMessages messages;
    QTemporaryDir dir;
    Database db;
    Store store;
    AppContext ctx { settings, notation, messages, &store };
    bool opened = false;
};

// Shows a form as the operator would see it: visible and the active window,
// so focus moves between its fields are real.
inline bool showActive(QWidget &form)
{
    form.show();
    QApplication::setActiveWindow(&form);
    return QTest::qWaitForWindowActive(&form);
}

// The operator leaves field with the Tab key; the refused field gets its
// focus back once pending events have run.
inline void leaveWithTab(QWidget *field)
{
    field->setFocus(Qt::OtherFocusReason);
    QTest::keyClick(field, Qt::Key_Tab);
    QCoreApplication::processEvents();
}

// Runs act on the modal dialog of type Dialog that the next call opens.
// act must close it; should it not, the dialog is rejected so the test
// cannot hang.
template <typename Dialog> void whenModal(std::function<void(Dialog *)> act)
{
    QTimer::singleShot(0, [act] {
        QWidget *modal = QApplication::activeModalWidget();
        auto *dialog = qobject_cast<Dialog *>(modal);
        if (!dialog) {
            if (auto *other = qobject_cast<QDialog *>(modal))
                other->reject();
            QFAIL("the expected dialog is not open");
        }
        act(dialog);
        if (dialog->isVisible())
            dialog->reject();
    });
}
