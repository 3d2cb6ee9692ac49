#include "shell/InfoWindow.h"

#include "core/ButtonKeys.h"
#include "shell/BoxIcons.h"

#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

FrmInfo::FrmInfo(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmInfo"));
    new ButtonKeys(this);
    setWindowTitle(QStringLiteral("Info"));
    auto *layout = new QVBoxLayout(this);
    auto *icon = new QLabel(this);
    icon->setPixmap(BoxIcons::application(64));
    icon->setAlignment(Qt::AlignCenter);
    layout->addWidget(icon);
    const char *lines[] = {"Zandor", "Version 3.2", "26.05.2005"};
    int n = 0;
    for (const char *text : lines) {
        auto *label = new QLabel(QLatin1String(text), this);
        label->setObjectName(QStringLiteral("lblInfo_%1").arg(n));
        label->setAlignment(Qt::AlignCenter);
        if (n++ == 0) {
            QFont f = label->font();
            f.setPointSizeF(f.pointSizeF() * 1.8);
            f.setBold(true);
            label->setFont(f);
        }
        layout->addWidget(label);
    }
    cmdZu = new QPushButton(QStringLiteral("&Return"), this);
    cmdZu->setObjectName(QStringLiteral("cmdZu"));
    cmdZu->setDefault(true);
    layout->addSpacing(10);
    layout->addWidget(cmdZu, 0, Qt::AlignCenter);
    connect(cmdZu, &QPushButton::clicked, this, &QDialog::accept);
    setMinimumWidth(260);
}
