#include "app/RadioGroup.h"

#include <QRadioButton>
#include <QVBoxLayout>

TRadioGroup::TRadioGroup(const QString &caption, QWidget *parent) : QGroupBox(caption, parent)
{
    new QVBoxLayout(this);
}

int TRadioGroup::AddItem(const QString &text)
{
    auto *button = new QRadioButton(text, this);
    layout()->addWidget(button);
    m_items.append(button);
    return int(m_items.size()) - 1;
}

QString TRadioGroup::Item(int index) const
{
    return index >= 0 && index < m_items.size() ? m_items[index]->text() : QString();
}

void TRadioGroup::SetItem(int index, const QString &text)
{
    if (index >= 0 && index < m_items.size())
        m_items[index]->setText(text);
}

int TRadioGroup::ItemIndex() const
{
    for (int i = 0; i < m_items.size(); ++i)
        if (m_items[i]->isChecked())
            return i;
    return -1;
}

void TRadioGroup::SetItemIndex(int index)
{
    if (index >= 0 && index < m_items.size()) {
        m_items[index]->setChecked(true);
        return;
    }
    // Auto-exclusive buttons refuse to untick the last one ticked.
    for (QRadioButton *b : std::as_const(m_items)) {
        b->setAutoExclusive(false);
        b->setChecked(false);
        b->setAutoExclusive(true);
    }
}
