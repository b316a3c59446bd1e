#pragma once
// Holds the program's version text, taken once from the build's version record.
#include <QPointer>
#include <QString>
#include <QWidget>

class QLabel;

// major.minor.release [Build n], all decimal without leading zeros.
QString VersionTextOf(unsigned major, unsigned minor, unsigned release, unsigned build);

class TfVersion : public QWidget
{
    Q_OBJECT
public:
    explicit TfVersion(QWidget *parent = nullptr);
    static QString ExtractVersionInfo();

    QString VersionText;
    QLabel *Label1;
    QLabel *Label2;
    QLabel *Label3;
    QLabel *Label4;

private:
    void FormCreate();
};

// Empty once the window has been destroyed with its parent.
extern QPointer<TfVersion> fVersion;
