#pragma once
// A temporary program folder, registry and time scale for one test; nothing touches the
// user's home or the build tree. Also answers boxes and file dialogs in advance.
#include "app/Dialoge.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <deque>
#include <functional>

class TTestDialoge : public TDialogHook
{
public:
    // Answers are used once each, in order.
    void expectBox(QMessageBox::StandardButton answer) { m_boxAnswers.push_back(answer); }
    void expectFile(const QStringList &answer) { m_fileAnswers.push_back(answer); }
    void expectFile(const QString &answer) { m_fileAnswers.push_back(answer.isEmpty() ? QStringList() : QStringList{answer}); }
    // A modal window: the answer may set its controls and returns QDialog::Accepted or Rejected.
    void expectDialog(std::function<int(QDialog *)> answer) { m_dialogAnswers.push_back(std::move(answer)); }

    QMessageBox::StandardButton answerBox(const TBoxRequest &request) override;
    QStringList answerFile(const TFileRequest &request) override;
    void boxShown(const TBoxRequest &request) override { m_shown.append(request); }
    int answerDialog(QDialog *dialog) override;

    // Every box that came, modal or not, in order.
    const QList<TBoxRequest> &boxes() const { return m_shown; }
    QList<TFileRequest> fileRequests() const { return m_fileRequests; }
    int unexpected() const { return m_unexpected; }
    // Object names of the modal windows that came, in order.
    QStringList dialogs() const { return m_dialogs; }
    // Runs while a modal box is open, before it is answered, as a real box's event loop runs
    // whatever arrives meanwhile.
    std::function<void(const TBoxRequest &)> waehrendBox;
    bool allAnswersUsed() const { return m_boxAnswers.empty() && m_fileAnswers.empty() && m_dialogAnswers.empty(); }
    void clear();

private:
    std::deque<QMessageBox::StandardButton> m_boxAnswers;
    std::deque<QStringList> m_fileAnswers;
    std::deque<std::function<int(QDialog *)>> m_dialogAnswers;
    QStringList m_dialogs;
    QList<TBoxRequest> m_shown;
    QList<TFileRequest> m_fileRequests;
    int m_unexpected = 0;
};

// File helpers for tests: the whole file (empty when missing), a whole new file (false when
// it cannot be written), the lines of a text whose every line ends CR LF (empty otherwise).
QByteArray dateiLesen(const QString &path);
bool dateiSchreiben(const QString &path, const QByteArray &bytes);
QList<QByteArray> crLfZeilen(const QByteArray &bytes);
// Today's error file `name` + ".err" in the current program folder (empty when missing).
QByteArray heuteFehlerdatei(const QString &name = QStringLiteral("Kelvor"));
// The 256 byte values in order.
QByteArray alleBytes();

class TTestUmgebung
{
public:
    // `timeScale` shrinks every timer interval of the program.
    explicit TTestUmgebung(double timeScale = 1.0);
    ~TTestUmgebung();

    QString folder() const { return m_dir.path(); }
    // Program folder with a trailing separator, as ExeDir holds it.
    QString exeDir() const;
    QString path(const QString &relative) const;
    TTestDialoge &dialoge() { return m_dialoge; }

private:
    QTemporaryDir m_dir;
    TTestDialoge m_dialoge;
};
