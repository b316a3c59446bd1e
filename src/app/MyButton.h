#pragma once
// A push button that holds an on/off state and shows one of two captions for it; every click
// flips the state once, before the click handlers run, so they already see the new state.
#include <QPushButton>
#include <QString>

class TChangeButton : public QPushButton
{
    Q_OBJECT
    Q_PROPERTY(bool Zustand READ Zustand WRITE SetZustand)
    Q_PROPERTY(QString TrueText READ TrueText WRITE SetTrueText)
    Q_PROPERTY(QString FalseText READ FalseText WRITE SetFalseText)
public:
    // State on, caption the (still empty) text for on; the button takes no focus.
    explicit TChangeButton(QWidget *parent = nullptr);

    bool Zustand() const { return m_zustand; }
    // Stores the state and refreshes the caption, also when the state stays the same.
    void SetZustand(bool value);
    QString TrueText() const { return m_trueText; }
    QString FalseText() const { return m_falseText; }
    // Only stored; the caption follows at the next Update or SetZustand.
    void SetTrueText(const QString &text) { m_trueText = text; }
    void SetFalseText(const QString &text) { m_falseText = text; }

    // Caption by state, repainted at once.
    void Update();

protected:
    // Qt calls this once per click before `clicked`; the checked state itself stays off, so
    // the button never looks pressed in.
    void nextCheckState() override;

private:
    bool m_zustand = true;
    QString m_trueText;
    QString m_falseText;
};
