#include "core/ButtonKeys.h"

#include <QGuiApplication>
#include <QKeyEvent>

namespace
{

bool isEnter(const QKeyEvent *key)
{
    if (key->key() != Qt::Key_Return && key->key() != Qt::Key_Enter)
        return false;
    return (key->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier;
}

} // namespace

ButtonKeys::ButtonKeys(QObject *window)
    : QObject(window)
{
    window->installEventFilter(this);
}

bool ButtonKeys::eventFilter(QObject *watched, QEvent *event)
{
    // A key the focused control leaves unused travels up to the window.
    if (watched != parent() || event->type() != QEvent::KeyPress
        || !isEnter(static_cast<QKeyEvent *>(event)))
        return false;
    QObject *focus = QGuiApplication::focusObject();
    if (!focus || !focus->inherits("QPushButton"))
        return false;
    if (focus->property("enabled").toBool())
        QMetaObject::invokeMethod(focus, "click");
    return true;
}
