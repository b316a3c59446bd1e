#pragma once
// The about box "Info".
#include <QDialog>
#include <QPointer>
#include <QString>

class QFrame;
class QLabel;
class QPushButton;

class TAboutBox : public QDialog
{
    Q_OBJECT
public:
    explicit TAboutBox(QWidget *parent = nullptr);

    // Tag the opener sets before showing the box; shown in parentheses.
    QString VersionZusatz;

    QFrame *Panel1;
    QLabel *ProductName;
    QLabel *Comments;
    QLabel *Version;
    QLabel *ProgramIcon;
    QPushButton *OKButton;

protected:
    void showEvent(QShowEvent *event) override;

private:
    void FormShow();
};

// Empty once the box has been destroyed with its parent.
extern QPointer<TAboutBox> AboutBox;
