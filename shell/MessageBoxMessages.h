#pragma once

#include "core/OperatorMessages.h"

class QWidget;

// Message boxes over the main window, with the program's title.
class MessageBoxMessages : public OperatorMessages
{
public:
    explicit MessageBoxMessages(QWidget *parent = nullptr) : m_parent(parent) {}
    void setParent(QWidget *parent) { m_parent = parent; }

    void show(const QString &text, Icon icon = Icon::None) override;
    bool askYesNo(const QString &text) override;
    bool askOkCancel(const QString &text) override;
    // A one-line field that shows dots; Cancel gives no answer.
    std::optional<QString> askPassword(const QString &prompt) override;

private:
    QWidget *m_parent;
};
