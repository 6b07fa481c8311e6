#include "SummaryWindow.h"

#include "platform/Error.h"
#include "platform/Ui.h"
#include "store/ConnectionStrings.h"
#include "widgets/Twips.h"

namespace vantor::overview {

namespace {

constexpr int MarginTwips = 60;
const QColor Shade(0xC0, 0xC0, 0xC0);

} // namespace

SummaryWindow::SummaryWindow(const Setup& setup, QWidget* parent) : QWidget(parent), m_setup(setup)
{
    setObjectName(setup.name);
    setWindowTitle(setup.caption);
    setAttribute(Qt::WA_DeleteOnClose);

    m_rows = new widgets::FlexGridModel(this);
    m_grid = new widgets::FlexGrid(this);
    m_grid->setObjectName(QStringLiteral("MSHFlexGrid1"));
    m_close = new QPushButton(QStringLiteral("&Close"), this);
    m_close->setObjectName(QStringLiteral("cmdClose"));
    m_close->setAutoDefault(false);
    m_close->resize(m_close->sizeHint().expandedTo(QSize(90, 0)));
    connect(m_close, &QPushButton::clicked, this, &QWidget::close);
    m_reading = new QLabel(this);
    m_reading->setObjectName(QStringLiteral("lblReading"));
    m_reading->hide();
    connect(m_rows, &QAbstractItemModel::rowsInserted, this, &SummaryWindow::showReading);
    connect(m_rows, &widgets::FlexGridModel::completed, this, &SummaryWindow::showReading);
    connect(m_rows, &widgets::FlexGridModel::error, this, [](int, const QString& description) {
        platform::showMessage(description, platform::Icon::Critical);
    });
    resize(760, 480);
}

// The grid goes before the rows it shows, and the rows before the connection
// they read from.
SummaryWindow::~SummaryWindow()
{
    delete m_grid;
    delete m_rows;
}

bool SummaryWindow::load()
{
    const platform::BusyPointer busy;
    try {
        m_connection.open(store::GridConnection);
        m_rows->open(m_connection, m_setup.sql);
    } catch (const Error& e) {
        platform::showMessage(e.description(), platform::Icon::Critical, m_setup.caption);
        return false;
    }
    m_grid->setDataSource(shownRows(m_rows));
    format();
    showReading();
    return true;
}

void SummaryWindow::format()
{
    using widgets::FlexGrid;
    m_grid->setRedraw(false);
    for (int c = 0; c < m_grid->cols() && c < m_setup.widthsTwips.size(); ++c)
        m_grid->setColWidthTwips(c, m_setup.widthsTwips[c]);
    for (auto it = m_setup.widestTexts.cbegin(); it != m_setup.widestTexts.cend(); ++it) {
        if (it.key() < m_grid->cols())
            m_grid->widenColToFit(it.key(), it.value());
    }
    for (int c = 0; c < m_grid->cols(); ++c)
        m_grid->setMergeCol(c, true);
    m_grid->setMergeCells(FlexGrid::MergeMode::Free);

    m_grid->setFillStyle(FlexGrid::FillStyle::Repeat);
    m_grid->setRow(0);
    m_grid->setCol(0);
    m_grid->setRowSel(m_grid->fixedRows() - 1);
    m_grid->setColSel(m_grid->cols() - 1);
    m_grid->setCellFontBold(true);
    // Every second column shaded; with no rows there is nothing to shade.
    if (m_setup.shadeColumns && m_grid->rows() > m_grid->fixedRows()) {
        for (int c = m_grid->fixedCols(); c < m_grid->cols(); c += 2) {
            m_grid->setRow(m_grid->fixedRows());
            m_grid->setCol(c);
            m_grid->setRowSel(m_grid->rows() - 1);
            m_grid->setColSel(c);
            m_grid->setCellBackColor(Shade);
        }
    }
    m_grid->setFillStyle(FlexGrid::FillStyle::Single);
    m_grid->setRow(0);
    m_grid->setCol(0);
    m_grid->setRedraw(true);
    formatColumns();
}

// Rows still come in idle time: say so, with the count so far.
void SummaryWindow::showReading()
{
    if (m_rows->isComplete()) {
        m_reading->hide();
        return;
    }
    m_reading->setText(QStringLiteral("Reading rows… %L1").arg(m_rows->rowCount()));
    m_reading->adjustSize();
    m_reading->show();
}

// The button keeps its size in the bottom right corner; the grid takes the
// rest, with a margin of 60 twips. A window too small for both gets no
// negative sizes.
void SummaryWindow::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    const int margin = widgets::twipsToPixelsX(MarginTwips, this);
    const int left = width() - (m_close->width() + margin);
    const int top = height() - (m_close->height() + margin);
    m_close->move(std::max(0, left), std::max(0, top));
    m_reading->move(margin, std::max(0, top + (m_close->height() - m_reading->height()) / 2));
    m_grid->setGeometry(margin, margin, std::max(0, width() - 2 * margin),
                        std::max(0, top - 2 * margin));
}

} // namespace vantor::overview
