#pragma once
// A status bar of text panels, left to right, each addressed by its index as the windows and
// the translation walk use them; the panels are the bar's own parts, not components.
#include <QList>
#include <QStatusBar>
#include <QString>

class QLabel;

class TStatusBar : public QStatusBar
{
    Q_OBJECT
public:
    explicit TStatusBar(QWidget *parent = nullptr);

    // Adds a panel at the right end; returns its index.
    int AddPanel(const QString &text);
    int PanelCount() const { return int(m_panels.size()); }
    // Empty outside the range.
    QString PanelText(int index) const;
    // Outside the range nothing happens.
    void SetPanelText(int index, const QString &text);

private:
    QList<QLabel *> m_panels;
};
