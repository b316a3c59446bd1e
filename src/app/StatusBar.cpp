#include "app/StatusBar.h"

#include <QLabel>

TStatusBar::TStatusBar(QWidget *parent) : QStatusBar(parent) {}

int TStatusBar::AddPanel(const QString &text)
{
    auto *panel = new QLabel(text, this);
    panel->setFrameShape(QFrame::StyledPanel);
    panel->setFrameShadow(QFrame::Sunken);
    // Permanent, so that a passing status message never hides the panels.
    addPermanentWidget(panel);
    m_panels.append(panel);
    return int(m_panels.size()) - 1;
}

QString TStatusBar::PanelText(int index) const
{
    return index >= 0 && index < m_panels.size() ? m_panels[index]->text() : QString();
}

void TStatusBar::SetPanelText(int index, const QString &text)
{
    if (index >= 0 && index < m_panels.size())
        m_panels[index]->setText(text);
}
