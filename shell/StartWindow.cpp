#include "shell/StartWindow.h"

#include "shell/BoxIcons.h"

#include <QLabel>
#include <QVBoxLayout>

FrmStart::FrmStart(QWidget *parent) : QWidget(parent, Qt::Dialog)
{
    setObjectName(QStringLiteral("frmStart"));
    setWindowModality(Qt::ApplicationModal);
    auto *layout = new QVBoxLayout(this);
    auto *icon = new QLabel(this);
    icon->setPixmap(BoxIcons::application(72));
    icon->setAlignment(Qt::AlignCenter);
    auto *text = new QLabel(this);
    text->setObjectName(QStringLiteral("lblCaption"));
    text->setAlignment(Qt::AlignCenter);
    QFont f = text->font();
    f.setPointSizeF(f.pointSizeF() * 1.3);
    text->setFont(f);
    layout->addWidget(icon);
    layout->addWidget(text);
    setMinimumSize(460, 160);
}

void FrmStart::setCaption(const QString &caption)
{
    setWindowTitle(caption);
    if (auto *text = findChild<QLabel *>(QStringLiteral("lblCaption")))
        text->setText(caption);
}
