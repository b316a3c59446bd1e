#include "app/StringGrid.h"

#include <QHeaderView>
#include <QMouseEvent>

namespace {
const QColor kFestGrau(0xD4, 0xD0, 0xC8);
}

TStringGrid::TStringGrid(QWidget *parent) : QTableWidget(parent)
{
    horizontalHeader()->hide();
    verticalHeader()->hide();
    // Columns and rows take any width and height they are given, down to 0.
    horizontalHeader()->setMinimumSectionSize(0);
    verticalHeader()->setMinimumSectionSize(0);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setWordWrap(false);
}

void TStringGrid::SetColCount(int n)
{
    const int old = columnCount();
    setColumnCount(qMax(0, n));
    for (int c = old; c < columnCount(); ++c)
        for (int r = 0; r < rowCount(); ++r)
            styleCell(c, r);
}

void TStringGrid::SetRowCount(int n)
{
    const int old = rowCount();
    setRowCount(qMax(0, n));
    for (int r = old; r < rowCount(); ++r)
        for (int c = 0; c < columnCount(); ++c)
            styleCell(c, r);
}

void TStringGrid::SetFixedCols(int n)
{
    m_fixedCols = qMax(0, n);
    restyleAll();
}

void TStringGrid::SetFixedRows(int n)
{
    m_fixedRows = qMax(0, n);
    restyleAll();
}

QString TStringGrid::cell(int col, int row) const
{
    const QTableWidgetItem *it = item(row, col);
    return it ? it->text() : QString();
}

void TStringGrid::setCell(int col, int row, const QString &text)
{
    if (col < 0 || row < 0 || col >= columnCount() || row >= rowCount())
        return;
    QTableWidgetItem *it = item(row, col);
    if (!it) {
        styleCell(col, row);
        it = item(row, col);
    }
    if (it->text() != text)
        it->setText(text);
}

void TStringGrid::styleCell(int col, int row)
{
    QTableWidgetItem *it = item(row, col);
    if (!it) {
        it = new QTableWidgetItem;
        setItem(row, col, it);
    }
    if (isFixed(col, row)) {
        it->setFlags(Qt::ItemIsEnabled);
        it->setBackground(kFestGrau);
    } else if (m_readOnlyCols.contains(col)) {
        it->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
        it->setData(Qt::BackgroundRole, QVariant());
    } else {
        it->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsEditable);
        it->setData(Qt::BackgroundRole, QVariant());
    }
}

void TStringGrid::restyleAll()
{
    for (int r = 0; r < rowCount(); ++r)
        for (int c = 0; c < columnCount(); ++c)
            styleCell(c, r);
}

void TStringGrid::SetColReadOnly(int col, bool readOnly)
{
    if (readOnly)
        m_readOnlyCols.insert(col);
    else
        m_readOnlyCols.remove(col);
    for (int r = 0; r < rowCount(); ++r)
        if (col >= 0 && col < columnCount())
            styleCell(col, r);
}

QModelIndex TStringGrid::moveCursor(CursorAction cursorAction, Qt::KeyboardModifiers modifiers)
{
    const QModelIndex target = QTableWidget::moveCursor(cursorAction, modifiers);
    if (!target.isValid())
        return target;
    int row = qMax(target.row(), m_fixedRows);
    int col = qMax(target.column(), m_fixedCols);
    while (row < rowCount() && isRowHidden(row))
        ++row;
    while (col < columnCount() && isColumnHidden(col))
        ++col;
    if (row >= rowCount() || col >= columnCount())
        return currentIndex();
    return model()->index(row, col);
}

bool TStringGrid::onFixedCell(const QPoint &pos) const
{
    const QModelIndex i = indexAt(pos);
    return i.isValid() && isFixed(i.column(), i.row());
}

void TStringGrid::mousePressEvent(QMouseEvent *event)
{
    if (onFixedCell(event->position().toPoint())) {
        setFocus(Qt::MouseFocusReason);
        event->accept();
        return;
    }
    QTableWidget::mousePressEvent(event);
}

void TStringGrid::mouseDoubleClickEvent(QMouseEvent *event)
{
    if (onFixedCell(event->position().toPoint())) {
        event->accept();
        return;
    }
    QTableWidget::mouseDoubleClickEvent(event);
}
