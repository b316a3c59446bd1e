#include "app/About.h"

#include "app/Version.h"

#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QShowEvent>

QPointer<TAboutBox> AboutBox;

TAboutBox::TAboutBox(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("AboutBox"));
    setWindowTitle(QStringLiteral("Info"));
    setFixedSize(265, 185);

    Panel1 = new QFrame(this);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    Panel1->setFrameShape(QFrame::Panel);
    Panel1->setFrameShadow(QFrame::Sunken);
    Panel1->setGeometry(8, 8, 249, 122);

    ProductName = new QLabel(QStringLiteral("Kelvor"), Panel1);
    ProductName->setObjectName(QStringLiteral("ProductName"));
    ProductName->setAlignment(Qt::AlignHCenter);
    ProductName->setGeometry(8, 8, 233, 16);

    Comments = new QLabel(
        QStringLiteral("Programm zur Übertragung von Backprogrammen für die XQ-Steuerungen."), Panel1);
    Comments->setObjectName(QStringLiteral("Comments"));
    Comments->setAlignment(Qt::AlignHCenter);
    Comments->setWordWrap(true);
    Comments->setGeometry(8, 28, 233, 40);

    Version = new QLabel(QStringLiteral("Version 1.4"), Panel1);
    Version->setObjectName(QStringLiteral("Version"));
    Version->setAlignment(Qt::AlignHCenter);
    Version->setGeometry(8, 72, 233, 32);
    Version->setWordWrap(true);

    ProgramIcon = new QLabel(Panel1);
    ProgramIcon->setObjectName(QStringLiteral("ProgramIcon"));
    ProgramIcon->setGeometry(8, 8, 32, 32);
    ProgramIcon->hide();

    OKButton = new QPushButton(QStringLiteral("OK"), this);
    OKButton->setObjectName(QStringLiteral("OKButton"));
    OKButton->setGeometry(100, 140, 65, 33);
    OKButton->setDefault(true);
    connect(OKButton, &QPushButton::clicked, this, &QDialog::accept);
}

void TAboutBox::showEvent(QShowEvent *event)
{
    FormShow();
    OKButton->setFocus();
    QDialog::showEvent(event);
}

void TAboutBox::FormShow()
{
    QString caption = QStringLiteral("Version ") + (fVersion ? fVersion->VersionText : TfVersion::ExtractVersionInfo());
    if (!VersionZusatz.isEmpty())
        caption += QStringLiteral(" (") + VersionZusatz + QLatin1Char(')');
    Version->setText(caption);
}
