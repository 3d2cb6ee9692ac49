#include "shell/MessageBoxMessages.h"
#include "support/FormFixture.h"

#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QtTest>

// The program's way of asking for a server's password: a window of its own
// title with the prompt, a field that shows no character typed, OK and Cancel.
class TestPasswordDialog : public QObject
{
    Q_OBJECT

private slots:
    void typedPasswordIsTheAnswerAndCancelIsNone_data()
    {
        QTest::addColumn<bool>("ok");
        QTest::newRow("OK") << true;
        QTest::newRow("Cancel") << false;
    }

    void typedPasswordIsTheAnswerAndCancelIsNone()
    {
        QFETCH(bool, ok);
        const QString prompt = QStringLiteral("Password for user lab on db.lab/kovra: ");
        QString title, label;
        QLineEdit::EchoMode echo = QLineEdit::Normal;
        whenModal<QInputDialog>([&](QInputDialog *dialog) {
            title = dialog->windowTitle();
            auto *field = dialog->findChild<QLineEdit *>();
            QVERIFY(field);
            echo = field->echoMode();
            for (const QLabel *l : dialog->findChildren<QLabel *>())
                label += l->text();
            QTest::keyClicks(field, "s3cret");
            if (ok)
                QTest::keyClick(field, Qt::Key_Return);
            else
                QTest::keyClick(field, Qt::Key_Escape);
        });
        MessageBoxMessages messages;
        const std::optional<QString> answer = messages.askPassword(prompt);
        QCOMPARE(title, "Zandor 3.2");
        QCOMPARE(label, prompt);
        QCOMPARE(echo, QLineEdit::Password);
        QCOMPARE(answer, ok ? std::optional<QString>("s3cret") : std::nullopt);
        QVERIFY(!QApplication::overrideCursor());
    }
};

QTEST_MAIN(TestPasswordDialog)
#include "test_passworddialog.moc"
