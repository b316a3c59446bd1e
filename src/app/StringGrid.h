#pragma once
// A string grid as the windows use it: cells addressed column first, fixed rows and columns
// drawn grey and never edited, and the header row as data row 0 (Qt's own headers are hidden).
// The list editor's grids and the night-start grid use it; the translation walk reads it.
#include <QSet>
#include <QString>
#include <QTableWidget>

class TStringGrid : public QTableWidget
{
    Q_OBJECT
public:
    explicit TStringGrid(QWidget *parent = nullptr);

    int ColCount() const { return columnCount(); }
    int RowCount() const { return rowCount(); }
    void SetColCount(int n);
    void SetRowCount(int n);
    int FixedCols() const { return m_fixedCols; }
    int FixedRows() const { return m_fixedRows; }
    void SetFixedCols(int n);
    void SetFixedRows(int n);

    // The text of cell (col, row); empty outside the grid.
    QString cell(int col, int row) const;
    // Sets the text; outside the grid nothing happens.
    void setCell(int col, int row, const QString &text);

    // Current cell as (col, row); -1 when there is none.
    int Col() const { return currentColumn(); }
    int Row() const { return currentRow(); }

    // A cell editor is open.
    bool Editing() const { return state() == EditingState; }

    bool isFixed(int col, int row) const { return col < m_fixedCols || row < m_fixedRows; }

    // A column whose cells show text but are never edited (also when not fixed).
    void SetColReadOnly(int col, bool readOnly);
    bool isColReadOnly(int col) const { return m_readOnlyCols.contains(col); }

protected:
    // The current cell never moves into a fixed or hidden row or column, by keys or clicks.
    QModelIndex moveCursor(CursorAction cursorAction, Qt::KeyboardModifiers modifiers) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;

private:
    bool onFixedCell(const QPoint &pos) const;
    void styleCell(int col, int row);
    void restyleAll();
    int m_fixedCols = 1;
    int m_fixedRows = 1;
    QSet<int> m_readOnlyCols;
};
