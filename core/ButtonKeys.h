#pragma once

#include <QObject>

// Enter presses the button that has the focus; with the focus anywhere else
// the window goes on as before and presses its default button, if it has
// one. The buttons here are not auto-default (Enter in a field must not
// press whichever button was last tabbed over), and without this a focused
// button hands Enter to the window's default button.
class ButtonKeys : public QObject
{
    Q_OBJECT
public:
    // Watches window and goes with it.
    explicit ButtonKeys(QObject *window);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
};
