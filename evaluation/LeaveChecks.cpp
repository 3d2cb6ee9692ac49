#include "evaluation/LeaveChecks.h"

#include <QApplication>
#include <QFocusEvent>
#include <QTimer>
#include <QWidget>

LeaveChecks::LeaveChecks(QObject *parent)
    : QObject(parent)
{
}

LeaveChecks::Watch *LeaveChecks::watch(QWidget *field)
{
    auto *watch = new Watch(field);
    watch->setObjectName(QStringLiteral("leaveWatch"));
    field->installEventFilter(this);
    return watch;
}

bool LeaveChecks::leaveFocused()
{
    if (m_refused)
        return false;
    QWidget *field = QApplication::focusWidget();
    if (!field || field->window() != parent())
        return true;
    if (auto *watch
        = field->findChild<Watch *>(QStringLiteral("leaveWatch"), Qt::FindDirectChildrenOnly))
        emit watch->lostFocus();
    return !refusing();
}

void LeaveChecks::refuse(QWidget *field)
{
    if (m_refused)
        return;
    m_refused = field;
    // Not at once: the focus change that called us is still being delivered.
    QTimer::singleShot(0, this, &LeaveChecks::giveFocusBack);
}

void LeaveChecks::giveFocusBack()
{
    QWidget *field = m_refused;
    if (field && field->isVisible()) {
        m_returning = true;
        field->setFocus(Qt::OtherFocusReason);
        m_returning = false;
    }
    m_refused.clear();
}

bool LeaveChecks::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() != QEvent::FocusOut || m_returning || m_refused)
        return false;
    const auto reason = static_cast<QFocusEvent *>(event)->reason();
    if (reason == Qt::ActiveWindowFocusReason || reason == Qt::PopupFocusReason
        || reason == Qt::MenuBarFocusReason || reason == Qt::NoFocusReason)
        return false;
    auto *field = qobject_cast<QWidget *>(watched);
    if (!field || !field->window()->isVisible())
        return false;
    // By now the application's focus widget is the one receiving the focus.
    const bool pressing = reason == Qt::MouseFocusReason || reason == Qt::ShortcutFocusReason;
    if (pressing && m_exempt.contains(QApplication::focusWidget()))
        return false;
    if (auto *watch
        = field->findChild<Watch *>(QStringLiteral("leaveWatch"), Qt::FindDirectChildrenOnly))
        emit watch->lostFocus();
    return false;
}
