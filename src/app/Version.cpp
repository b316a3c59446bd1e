#include "app/Version.h"

#include <QLabel>
#include <QVBoxLayout>

QPointer<TfVersion> fVersion;

QString VersionTextOf(unsigned major, unsigned minor, unsigned release, unsigned build)
{
    return QStringLiteral("%1.%2.%3 [Build %4]").arg(major).arg(minor).arg(release).arg(build);
}

TfVersion::TfVersion(QWidget *parent) : QWidget(parent, Qt::Window)
{
    setObjectName(QStringLiteral("fVersion"));
    setWindowTitle(QStringLiteral("Version"));
    resize(783, 353);
    auto *layout = new QVBoxLayout(this);
    QLabel **labels[] = {&Label1, &Label2, &Label3, &Label4};
    for (int i = 0; i < 4; ++i) {
        const QString name = QStringLiteral("Label%1").arg(i + 1);
        *labels[i] = new QLabel(name, this);
        (*labels[i])->setObjectName(name);
        layout->addWidget(*labels[i]);
    }
    FormCreate();
}

void TfVersion::FormCreate()
{
    VersionText = ExtractVersionInfo();
}

QString TfVersion::ExtractVersionInfo()
{
    // The build carries the version record; a build without one would say "0.0.0.0".
#if defined(KELVOR_VERSION_MAJOR) && defined(KELVOR_VERSION_BUILD)
    return VersionTextOf(KELVOR_VERSION_MAJOR, KELVOR_VERSION_MINOR, KELVOR_VERSION_PATCH,
                         KELVOR_VERSION_BUILD);
#else
    return QStringLiteral("0.0.0.0");
#endif
}
