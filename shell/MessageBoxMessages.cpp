#include "shell/MessageBoxMessages.h"

#include <QApplication>
#include <QInputDialog>
#include <QLineEdit>
#include <QMessageBox>

namespace {

// The application's own title. It is not the application's display name: on
// an X display that would be appended to every window's caption.
const QString MessageTitle = QStringLiteral("Zandor 3.2");

QMessageBox::Icon toIcon(OperatorMessages::Icon icon)
{
    switch (icon) {
    case OperatorMessages::Icon::Information: return QMessageBox::Information;
    case OperatorMessages::Icon::Exclamation: return QMessageBox::Warning;
    case OperatorMessages::Icon::Critical: return QMessageBox::Critical;
    case OperatorMessages::Icon::Question: return QMessageBox::Question;
    case OperatorMessages::Icon::None: break;
    }
    return QMessageBox::NoIcon;
}

QWidget *ownerOf(QWidget *parent)
{
    if (QWidget *modal = QApplication::activeModalWidget())
        return modal;
    return parent;
}

} // namespace

void MessageBoxMessages::show(const QString &text, Icon icon)
{
    // A pending hourglass must not hide the fact that the program waits for OK.
    QApplication::setOverrideCursor(Qt::ArrowCursor);
    QMessageBox box(toIcon(icon), MessageTitle, text,
                    QMessageBox::Ok, ownerOf(m_parent));
    box.exec();
    QApplication::restoreOverrideCursor();
}

bool MessageBoxMessages::askYesNo(const QString &text)
{
    QApplication::setOverrideCursor(Qt::ArrowCursor);
    QMessageBox box(QMessageBox::Warning, MessageTitle, text,
                    QMessageBox::Yes | QMessageBox::No, ownerOf(m_parent));
    box.setDefaultButton(QMessageBox::No);
    const bool yes = box.exec() == QMessageBox::Yes;
    QApplication::restoreOverrideCursor();
    return yes;
}

bool MessageBoxMessages::askOkCancel(const QString &text)
{
    QApplication::setOverrideCursor(Qt::ArrowCursor);
    QMessageBox box(QMessageBox::Question, MessageTitle, text,
                    QMessageBox::Ok | QMessageBox::Cancel, ownerOf(m_parent));
    const bool ok = box.exec() == QMessageBox::Ok;
    QApplication::restoreOverrideCursor();
    return ok;
}

std::optional<QString> MessageBoxMessages::askPassword(const QString &prompt)
{
    QApplication::setOverrideCursor(Qt::ArrowCursor);
    QInputDialog dialog(ownerOf(m_parent));
    dialog.setWindowTitle(MessageTitle);
    dialog.setInputMode(QInputDialog::TextInput);
    dialog.setTextEchoMode(QLineEdit::Password);
    dialog.setLabelText(prompt);
    const bool ok = dialog.exec() == QDialog::Accepted;
    QApplication::restoreOverrideCursor();
    if (!ok)
        return std::nullopt;
    return dialog.textValue();
}
