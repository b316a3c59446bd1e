#include "app/MyButton.h"

TChangeButton::TChangeButton(QWidget *parent) : QPushButton(parent)
{
    // Checkable only so that every click passes through nextCheckState.
    setCheckable(true);
    setFocusPolicy(Qt::NoFocus);
    setText(m_trueText);
}

void TChangeButton::SetZustand(bool value)
{
    m_zustand = value;
    Update();
}

void TChangeButton::Update()
{
    setText(m_zustand ? m_trueText : m_falseText);
    repaint();
}

void TChangeButton::nextCheckState()
{
    SetZustand(!m_zustand);
}
