#pragma once

#include "FlexGridFormats.h"

#include <QHash>
#include <QTableView>

#include <utility>

namespace vantor::widgets {

// The flexible grid: a read-only grid over a model whose equal neighbouring
// cells merge into one, with per-cell back colours and bold text, column
// widths in twips and a per-column alignment. Row 0 is the one fixed row
// (the header, showing the model's column names); there is no fixed column.
// Rows and columns are numbered as the grid shows them: data row r is the
// model's row r - 1.
//
// Formats follow the grid's selection, as in the control it stands in for:
// setRow()/setCol() make a cell current and select it alone, setRowSel()/
// setColSel() stretch the selection from it, and setCellBackColor()/
// setCellFontBold() format the current cell (FillStyle::Single) or every
// selected cell (FillStyle::Repeat). A selection that reaches the last row
// also covers the rows a lazy model adds later (see FlexGridModel).
//
// Merging costs nothing up front: the grid compares neighbours only for the
// rows on screen, when it paints them. A merged block shows its text once, in
// its first whole row on screen, so a block that began above the top edge
// still shows what it holds.
class FlexGrid : public QTableView
{
    Q_OBJECT

public:
    enum class MergeMode { Never, Free };
    enum class FillStyle { Single, Repeat };
    // The width a column gets from its header and the rows on screen.
    static constexpr int DefaultWidth = -1;

    explicit FlexGrid(QWidget* parent = nullptr);

    // The rows to show; the grid does not take ownership.
    void setDataSource(QAbstractItemModel* model);

    int rows() const;
    int cols() const;
    int fixedRows() const { return 1; }
    int fixedCols() const { return 0; }
    // The shown text of a cell; row 0 is the header.
    QString textMatrix(int row, int column) const;

    // Painting off and on, around a batch of format changes.
    void setRedraw(bool on);
    bool redraw() const { return m_redraw; }

    // Widths in twips by column; DefaultWidth sizes to the contents. A width
    // that rounds to no pixel hides the column.
    void setColWidthTwips(int column, int twips);
    // Widens a shown column, if need be, so that text and the header fit
    // unshortened, in bold as well as in the plain font.
    void widenColToFit(int column, const QString& text);
    // The horizontal alignment of a column's data cells (left by default).
    void setColAlignment(int column, Qt::Alignment alignment);
    Qt::Alignment colAlignment(int column) const;

    void setMergeCol(int column, bool merge);
    bool mergeCol(int column) const { return m_mergeColumns.value(column, false); }
    void setMergeCells(MergeMode mode);
    // The first and last data row of the merged block holding the cell, as
    // far as rows are read; (row, row) for a cell that merges with none.
    std::pair<int, int> mergedRows(int row, int column) const;

    // The current cell and the selection, in grid rows and columns. Throw
    // vantor::Error for a row or column the grid does not have.
    void setRow(int row);
    void setCol(int column);
    void setRowSel(int row);
    void setColSel(int column);
    int row() const { return m_row; }
    int col() const { return m_col; }
    void setFillStyle(FillStyle style) { m_fillStyle = style; }
    void setCellBackColor(const QColor& color);
    void setCellFontBold(bool bold);

    // A cell's formats; a cell without its own back colour has none.
    std::optional<QColor> cellBackColor(int row, int column) const;
    bool cellFontBold(int row, int column) const;

protected:
    QModelIndex moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers) override;
    void paintEvent(QPaintEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;

private:
    FlexGridFormats::Range formatRange() const;
    int contentsWidth(int column) const;
    bool merges(int modelRow, int nextModelRow, int column) const;
    void paintColumn(QPainter& painter, int column, int firstRow, int lastRow);
    void paintBlock(QPainter& painter, int column, int firstRow, int lastRow);
    void checkRow(int row) const;
    void checkColumn(int column) const;

    FlexGridFormats m_formats;
    QHash<int, bool> m_mergeColumns;
    QHash<int, Qt::Alignment> m_alignments;
    MergeMode m_mergeMode = MergeMode::Never;
    FillStyle m_fillStyle = FillStyle::Single;
    bool m_redraw = true;
    QColor m_gridColor;
    int m_row = 0;
    int m_col = 0;
    int m_rowSel = 0;
    int m_colSel = 0;
};

} // namespace vantor::widgets
