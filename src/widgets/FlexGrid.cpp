#include "FlexGrid.h"

#include "Twips.h"

#include "platform/Error.h"
#include "platform/Ui.h"

#include <QHeaderView>
#include <QPaintEvent>
#include <QPainter>
#include <QStyleOptionHeader>

#include <algorithm>

namespace vantor::widgets {

namespace {

constexpr int TextMargin = 3;
// Rows measured for a column's own width: enough for what the first screens show.
constexpr int MeasuredRows = 1000;

// A cell shows one line: line breaks and TABs show as spaces.
QString oneLine(QString text)
{
    for (QChar& c : text) {
        if (c == u'\n' || c == u'\r' || c == u'\t')
            c = u' ';
    }
    return text;
}

Error invalidRow()
{
    return Error(30009, QStringLiteral("Invalid Row value"));
}

Error invalidColumn()
{
    return Error(30010, QStringLiteral("Invalid Col value"));
}

// The fixed row: the header sections take the grid's formats of row 0.
class FixedRow : public QHeaderView
{
public:
    explicit FixedRow(FlexGrid* grid) : QHeaderView(Qt::Horizontal, grid), m_grid(grid)
    {
        setSectionsClickable(false);
        setHighlightSections(false);
        setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    }

protected:
    void paintSection(QPainter* painter, const QRect& rect, int section) const override
    {
        QStyleOptionHeader option;
        initStyleOption(&option);
        option.rect = rect;
        option.section = section;
        option.text = model()->headerData(section, Qt::Horizontal).toString();
        option.textAlignment = defaultAlignment();
        option.position = QStyleOptionHeader::Middle;
        if (const auto color = m_grid->cellBackColor(0, section)) {
            option.palette.setColor(QPalette::Button, *color);
            option.palette.setColor(QPalette::Window, *color);
        }
        painter->save();
        painter->setFont(sectionFont(section));
        style()->drawControl(QStyle::CE_Header, &option, painter, this);
        painter->restore();
    }

    QSize sectionSizeFromContents(int section) const override
    {
        QSize size = QHeaderView::sectionSizeFromContents(section);
        if (m_grid->cellFontBold(0, section)) {
            const QString text = model()->headerData(section, Qt::Horizontal).toString();
            size.rwidth() += QFontMetrics(sectionFont(section)).horizontalAdvance(text) -
                             fontMetrics().horizontalAdvance(text);
        }
        return size;
    }

private:
    QFont sectionFont(int section) const
    {
        QFont f = font();
        f.setBold(m_grid->cellFontBold(0, section));
        return f;
    }

    FlexGrid* m_grid;
};

} // namespace

FlexGrid::FlexGrid(QWidget* parent) : QTableView(parent)
{
    setHorizontalHeader(new FixedRow(this));
    verticalHeader()->hide();
    // Fixed row heights: a million rows must not be measured one by one.
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 2 * TextMargin);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setShowGrid(false); // paintEvent draws the lines around merged blocks
    setWordWrap(false);
}

void FlexGrid::setDataSource(QAbstractItemModel* model)
{
    setModel(model);
    m_formats.clear();
    m_row = m_col = m_rowSel = m_colSel = 0;
}

int FlexGrid::rows() const
{
    return fixedRows() + (model() ? model()->rowCount() : 0);
}

int FlexGrid::cols() const
{
    return model() ? model()->columnCount() : 0;
}

QString FlexGrid::textMatrix(int row, int column) const
{
    checkRow(row);
    checkColumn(column);
    if (row < fixedRows())
        return model()->headerData(column, Qt::Horizontal).toString();
    return model()->index(row - fixedRows(), column).data().toString();
}

void FlexGrid::setRedraw(bool on)
{
    m_redraw = on;
    viewport()->setUpdatesEnabled(on);
    horizontalHeader()->viewport()->setUpdatesEnabled(on);
    if (on) {
        viewport()->update();
        horizontalHeader()->viewport()->update();
    }
}

void FlexGrid::setColWidthTwips(int column, int twips)
{
    checkColumn(column);
    if (twips == DefaultWidth) {
        setColumnHidden(column, false);
        setColumnWidth(column, contentsWidth(column));
        return;
    }
    const int pixels = twipsToPixelsX(twips, this);
    setColumnHidden(column, pixels <= 0);
    if (pixels > 0)
        setColumnWidth(column, pixels);
}

int FlexGrid::contentsWidth(int column) const
{
    int width = horizontalHeader()->sectionSizeHint(column);
    const QFontMetrics metrics(font());
    const int rowCount = std::min(model()->rowCount(), MeasuredRows);
    for (int r = 0; r < rowCount; ++r) {
        const QString text = oneLine(model()->index(r, column).data().toString());
        width = std::max(width, metrics.horizontalAdvance(text) + 2 * TextMargin + 3);
    }
    return width;
}

void FlexGrid::widenColToFit(int column, const QString& text)
{
    checkColumn(column);
    if (isColumnHidden(column))
        return;
    QFont bold = font();
    bold.setBold(true);
    const int needed = std::max({QFontMetrics(bold).horizontalAdvance(text),
                                 QFontMetrics(font()).horizontalAdvance(text)}) +
                       2 * TextMargin + 3;
    const int header = horizontalHeader()->sectionSizeHint(column);
    setColumnWidth(column, std::max({columnWidth(column), needed, header}));
}

void FlexGrid::setColAlignment(int column, Qt::Alignment alignment)
{
    m_alignments.insert(column, alignment & Qt::AlignHorizontal_Mask);
    viewport()->update();
}

Qt::Alignment FlexGrid::colAlignment(int column) const
{
    return m_alignments.value(column, Qt::AlignLeft);
}

void FlexGrid::setMergeCol(int column, bool merge)
{
    m_mergeColumns.insert(column, merge);
    viewport()->update();
}

void FlexGrid::setMergeCells(MergeMode mode)
{
    m_mergeMode = mode;
    viewport()->update();
}

bool FlexGrid::merges(int modelRow, int nextModelRow, int column) const
{
    if (m_mergeMode == MergeMode::Never || !mergeCol(column))
        return false;
    const QAbstractItemModel* m = model();
    return m->index(modelRow, column).data() == m->index(nextModelRow, column).data();
}

std::pair<int, int> FlexGrid::mergedRows(int row, int column) const
{
    checkRow(row);
    checkColumn(column);
    if (row < fixedRows())
        return {row, row};
    int first = row - fixedRows();
    int last = first;
    while (first > 0 && merges(first - 1, first, column))
        --first;
    while (last + 1 < model()->rowCount() && merges(last, last + 1, column))
        ++last;
    return {first + fixedRows(), last + fixedRows()};
}

void FlexGrid::checkRow(int row) const
{
    if (row < 0 || row >= rows())
        throw invalidRow();
}

void FlexGrid::checkColumn(int column) const
{
    if (column < 0 || column >= cols())
        throw invalidColumn();
}

void FlexGrid::setRow(int row)
{
    checkRow(row);
    m_row = m_rowSel = row;
}

void FlexGrid::setCol(int column)
{
    checkColumn(column);
    m_col = m_colSel = column;
}

void FlexGrid::setRowSel(int row)
{
    checkRow(row);
    m_rowSel = row;
}

void FlexGrid::setColSel(int column)
{
    checkColumn(column);
    m_colSel = column;
}

FlexGridFormats::Range FlexGrid::formatRange() const
{
    if (m_fillStyle == FillStyle::Single)
        return {m_row, m_col, m_row, m_col};
    FlexGridFormats::Range range{std::min(m_row, m_rowSel), std::min(m_col, m_colSel),
                                 std::max(m_row, m_rowSel), std::max(m_col, m_colSel)};
    // Rows still to come belong to a selection that runs to the end.
    if (range.bottom == rows() - 1 && range.bottom >= fixedRows())
        range.bottom = FlexGridFormats::OpenEnd;
    return range;
}

void FlexGrid::setCellBackColor(const QColor& color)
{
    m_formats.setBackColor(formatRange(), color);
    viewport()->update();
    horizontalHeader()->viewport()->update();
}

void FlexGrid::setCellFontBold(bool bold)
{
    m_formats.setBold(formatRange(), bold);
    viewport()->update();
    horizontalHeader()->viewport()->update();
}

std::optional<QColor> FlexGrid::cellBackColor(int row, int column) const
{
    return m_formats.backColor(row, column);
}

bool FlexGrid::cellFontBold(int row, int column) const
{
    return m_formats.bold(row, column);
}

// Scrolling moves the pixels drawn before, but a merged block's text belongs
// in its first row on screen, which has changed: draw the rows anew.
void FlexGrid::scrollContentsBy(int dx, int dy)
{
    QTableView::scrollContentsBy(dx, dy);
    if (dy != 0)
        viewport()->update();
}

// Ctrl+End goes to the true last row, also while rows are still being read.
QModelIndex FlexGrid::moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers)
{
    if (action == MoveEnd && (modifiers & Qt::ControlModifier) && model()) {
        const platform::BusyPointer busy;
        const int read = model()->rowCount();
        int before = -1;
        while (model()->canFetchMore({}) && model()->rowCount() != before) {
            before = model()->rowCount();
            model()->fetchMore({});
        }
        // The scroll range must know of the new rows before the view goes there.
        if (model()->rowCount() != read)
            updateGeometries();
        // Without a current cell the table view would go to the first one.
        if (!currentIndex().isValid() && model()->rowCount() > 0) {
            const QHeaderView* header = horizontalHeader();
            for (int visual = 0; visual < header->count(); ++visual) {
                const int column = header->logicalIndex(visual);
                if (!isColumnHidden(column))
                    return model()->index(model()->rowCount() - 1, column);
            }
        }
    }
    return QTableView::moveCursor(action, modifiers);
}

void FlexGrid::paintEvent(QPaintEvent* event)
{
    if (!model() || model()->rowCount() == 0)
        return;
    const int firstRow = rowAt(0);
    if (firstRow < 0)
        return;
    int lastRow = rowAt(viewport()->height() - 1);
    if (lastRow < 0)
        lastRow = model()->rowCount() - 1;

    QStyleOptionViewItem option;
    initViewItemOption(&option);
    m_gridColor =
        QColor::fromRgba(QRgb(style()->styleHint(QStyle::SH_Table_GridLineColor, &option, this)));
    QPainter painter(viewport());
    painter.setClipRegion(event->region());
    const QHeaderView* header = horizontalHeader();
    for (int visual = 0; visual < header->count(); ++visual) {
        const int column = header->logicalIndex(visual);
        if (isColumnHidden(column) || columnWidth(column) <= 0)
            continue;
        const int x = columnViewportPosition(column);
        if (x > viewport()->width() || x + columnWidth(column) < 0)
            continue;
        paintColumn(painter, column, firstRow, lastRow);
    }
}

// Blocks are found among the rows on screen only: a block that runs on past
// the top or the bottom is cut there, and shows its text in its first row on
// screen.
void FlexGrid::paintColumn(QPainter& painter, int column, int firstRow, int lastRow)
{
    int start = firstRow;
    for (int r = firstRow; r <= lastRow; ++r) {
        if (r < lastRow && merges(r, r + 1, column))
            continue;
        paintBlock(painter, column, start, r);
        start = r + 1;
    }
}

void FlexGrid::paintBlock(QPainter& painter, int column, int firstRow, int lastRow)
{
    const int x = columnViewportPosition(column);
    const int width = columnWidth(column);
    const int top = rowViewportPosition(firstRow);
    const int bottom = rowViewportPosition(lastRow) + rowHeight(lastRow);
    const QRect block(x, top, width, bottom - top);

    bool selected = false;
    const QItemSelectionModel* selection = selectionModel();
    for (int r = firstRow; r <= lastRow; ++r) {
        const QRect cell(x, rowViewportPosition(r), width, rowHeight(r));
        const auto color = cellBackColor(r + fixedRows(), column);
        painter.fillRect(cell, color ? QBrush(*color) : palette().base());
        selected = selected || (selection && selection->isSelected(model()->index(r, column)));
    }
    if (selected)
        painter.fillRect(block, palette().highlight());

    painter.setPen(m_gridColor);
    painter.drawLine(block.topRight(), block.bottomRight());
    painter.drawLine(block.bottomLeft(), block.bottomRight());

    const QModelIndex current = currentIndex();
    if (hasFocus() && current.column() == column && current.row() >= firstRow &&
        current.row() <= lastRow) {
        QStyleOptionFocusRect focus;
        focus.initFrom(this);
        focus.rect = block.adjusted(1, 1, -1, -1);
        style()->drawPrimitive(QStyle::PE_FrameFocusRect, &focus, &painter, this);
    }

    const QModelIndex index = model()->index(firstRow, column);
    const QString text = oneLine(index.data().toString());
    if (text.isEmpty())
        return;
    // The model may mark a cell itself (an out-of-range value, say).
    const QVariant modelFont = index.data(Qt::FontRole);
    const QVariant modelColor = index.data(Qt::ForegroundRole);
    QFont font = this->font();
    font.setBold(cellFontBold(firstRow + fixedRows(), column) ||
                 (modelFont.isValid() && modelFont.value<QFont>().bold()));
    painter.setFont(font);
    painter.setPen(selected               ? palette().highlightedText().color()
                   : modelColor.isValid() ? modelColor.value<QBrush>().color()
                                          : palette().text().color());
    // The text stands in the block's first row on screen, also when the block
    // began above the top edge: part of a row is no place for it.
    const int lineHeight = rowHeight(firstRow);
    const int textTop = std::clamp(0, top, std::max(top, bottom - lineHeight));
    const QRect textRect =
        QRect(x, textTop, width, lineHeight).adjusted(TextMargin, 0, -TextMargin - 1, 0);
    const QString shown = QFontMetrics(font).elidedText(text, Qt::ElideRight, textRect.width());
    painter.drawText(textRect, int(colAlignment(column) | Qt::AlignVCenter), shown);
}

} // namespace vantor::widgets
