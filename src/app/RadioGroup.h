#pragma once
// A framed set of choices with a caption: one choice at a time, each addressed by its index.
// The choices are the group's own radio buttons, not components of the window, so the
// translation walk handles them as the group's items and never as radio buttons of their own.
#include <QGroupBox>
#include <QList>
#include <QString>

class QRadioButton;

class TRadioGroup : public QGroupBox
{
    Q_OBJECT
public:
    explicit TRadioGroup(const QString &caption, QWidget *parent = nullptr);

    // Adds a choice at the end; returns its index.
    int AddItem(const QString &text);
    int Count() const { return int(m_items.size()); }
    // Empty outside the range.
    QString Item(int index) const;
    // Outside the range nothing happens.
    void SetItem(int index, const QString &text);
    // The chosen item, -1 when none is.
    int ItemIndex() const;
    void SetItemIndex(int index);

private:
    QList<QRadioButton *> m_items;
};
