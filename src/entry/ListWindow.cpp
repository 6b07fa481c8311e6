#include "ListWindow.h"

#include "RecordActions.h"

#include "engine/Connection.h"
#include "platform/Conversions.h"
#include "platform/Error.h"
#include "platform/Format.h"
#include "platform/Ui.h"
#include "store/ConnectionStrings.h"
#include "store/ReferenceRange.h"
#include "widgets/CommandGuard.h"
#include "widgets/Twips.h"

#include <QApplication>
#include <QCloseEvent>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QVBoxLayout>

namespace vantor::entry {

ListWindow::ListWindow(const Setup& setup, QWidget* parent)
    : QWidget(parent), m_setup(setup), m_data(new widgets::DataControl(this)),
      m_grid(new widgets::DataGrid(this))
{
    setObjectName(setup.name);
    setWindowTitle(setup.caption);
    setAttribute(Qt::WA_DeleteOnClose);

    m_grid->setObjectName(QStringLiteral("grdDataGrid"));
    m_grid->setAllowAddNew(true);
    m_data->setObjectName(QStringLiteral("datPrimaryRS"));
    m_data->setConnectionString(store::CodeConnection);
    m_data->setRecordSource(setup.recordSource);
    m_data->setLockType(engine::LockType::Optimistic);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->addWidget(m_grid, 1);
    if (!setup.note.isEmpty()) {
        auto* note = new QLabel(setup.note, this);
        note->setObjectName(QStringLiteral("Label1"));
        note->setFont(QFont(QStringLiteral("Arial Black"), font().pointSize()));
        note->setWordWrap(true);
        layout->addWidget(note);
    }
    layout->addWidget(m_data);

    auto* buttons = new QWidget(this);
    buttons->setObjectName(QStringLiteral("picButtons"));
    auto* row = new QHBoxLayout(buttons);
    row->setContentsMargins(0, 0, 0, 0);
    const auto button = [this, buttons, row](const char* name, const QString& caption, auto slot) {
        QPushButton* b = makeButton(buttons, name, caption);
        connect(b, &QPushButton::clicked, this, [this, slot] { (this->*slot)(); });
        row->addWidget(b);
    };
    button("cmdAdd", tr("&Add"), &ListWindow::add);
    button("cmdUpdate", tr("&Update"), &ListWindow::update);
    button("cmdDelete", tr("&Delete"), &ListWindow::deleteRow);
    button("cmdRefresh", tr("&Refresh"), &ListWindow::refresh);
    QPushButton* close = makeButton(buttons, "cmdClose", tr("&Close"));
    connect(close, &QPushButton::clicked, this, &QWidget::close);
    row->addWidget(close);
    layout->addWidget(buttons);

    connect(m_data, &widgets::DataControl::error, this, &ListWindow::showDataError);
    connect(m_grid, &widgets::DataGrid::dataError, this, entry::showDataError);
    connect(m_data, &widgets::DataControl::refreshed, this, &ListWindow::applyColumnWidths);

    m_grid->setDataSource(m_data);
    m_grid->setRowCheck([this](int line) { return checkName(line); });
    if (setup.lowColumn >= 0)
        m_grid->recordsetModel()->setEditCheck([this](int line, int column, const QString& text) {
            return checkLimit(line, column, text);
        });
    m_data->refresh();
    applyColumnWidths();
    resize(widgets::twipsToPixelsX(setup.widthTwips, this), widgets::twipsToPixelsY(4500, this));
}

engine::Recordset* ListWindow::recordset() const
{
    return m_data->recordset();
}

void ListWindow::showDataError(int, const QString& description)
{
    platform::showMessage(QStringLiteral("Data error event hit err:") + description,
                          platform::Icon::Critical);
}

void ListWindow::applyColumnWidths()
{
    for (int c = 0; c < m_setup.columnWidths.size(); ++c) {
        if (m_setup.columnWidths.at(c) >= 0)
            m_grid->setColumnWidthTwips(c, m_setup.columnWidths.at(c));
    }
    m_grid->horizontalHeader()->setStretchLastSection(true);
    // The current cell may have been put in a column hidden only now.
    const QModelIndex current = m_grid->currentIndex();
    if (current.isValid() && m_grid->isColumnHidden(current.column()))
        m_grid->setCurrentIndex(m_grid->model()->index(current.row(), m_setup.nameColumn));
}

bool ListWindow::checkName(int row)
{
    engine::Recordset* rs = recordset();
    if (!rs || !rs->isOpen() || row < 0 || row >= rs->recordCount() || !rs->isRowPending(row))
        return true;
    if (!platform::valueText(rs->valueAt(row, m_setup.nameColumn)).trimmed().isEmpty())
        return true;
    const QString name = rs->field(m_setup.nameColumn).name;
    platform::ui().beep();
    platform::showMessage(QStringLiteral("The %1 may not be blank. Type a name, or press Refresh "
                                         "to drop the change.")
                              .arg(name),
                          platform::Icon::Exclamation, QStringLiteral("Invalid Entry"));
    m_grid->setFocus();
    m_grid->setCurrentIndex(m_grid->model()->index(row, m_setup.nameColumn));
    return false;
}

bool ListWindow::checkLimit(int row, int column, const QString& text)
{
    if (column != m_setup.lowColumn && column != m_setup.highColumn)
        return true;
    engine::Recordset* rs = recordset();
    const bool low = column == m_setup.lowColumn;
    const QString name = low ? QStringLiteral("Low") : QStringLiteral("High");
    const auto refuse = [this](const QString& message) {
        platform::ui().beep();
        platform::showMessage(message, platform::Icon::Exclamation,
                              QStringLiteral("Invalid Entry"));
        m_grid->setFocus();
        return false;
    };
    if (text.isEmpty())
        return true; // no limit on that side
    double value = 0;
    try {
        value = platform::toDouble(text);
    } catch (const Error&) {
        return refuse(QStringLiteral("The %1 must be a number in the item's unit; \"%2\" is not "
                                     "one. Type a number, or leave the %1 empty for no limit.")
                          .arg(name, text));
    }
    const int other = low ? m_setup.highColumn : m_setup.lowColumn;
    const QVariant otherValue =
        rs && rs->isOpen() && row < rs->recordCount() ? rs->valueAt(row, other) : QVariant();
    if (otherValue.isNull() || !otherValue.isValid())
        return true;
    const double limit = otherValue.toDouble();
    if (low && value > limit)
        return refuse(QStringLiteral("The Low (%1) is above the High (%2). Type a Low no higher "
                                     "than the High.")
                          .arg(text, platform::valueText(otherValue)));
    if (!low && value < limit)
        return refuse(QStringLiteral("The High (%1) is below the Low (%2). Type a High no lower "
                                     "than the Low.")
                          .arg(text, platform::valueText(otherValue)));
    return true;
}

bool ListWindow::checkNames()
{
    m_grid->finishEditing();
    engine::Recordset* rs = recordset();
    if (!rs || !rs->isOpen())
        return true;
    for (int row = 0; row < rs->recordCount(); ++row) {
        if (!checkName(row))
            return false;
    }
    return true;
}

bool ListWindow::hasUnsavedChange() const
{
    const engine::Recordset* rs = recordset();
    return rs && rs->isOpen() && rs->hasPendingChanges();
}

void ListWindow::closeEvent(QCloseEvent* event)
{
    m_grid->finishEditing();
    if (!mayClose(
            *this, hasUnsavedChange(), [this] { return update(); },
            [this] { recordset()->cancelUpdate(); })) {
        event->ignore();
        return;
    }
    QWidget::closeEvent(event);
}

// Puts the cursor on the grid's empty new-record line, where the user types.
void ListWindow::add()
{
    if (!checkNames())
        return;
    widgets::runCommand([this] {
        if (engine::Recordset* rs = recordset(); rs && rs->recordCount() > 0)
            rs->moveLast();
        m_grid->setFocus();
        QKeyEvent down(QEvent::KeyPress, Qt::Key_Down, Qt::NoModifier);
        QApplication::sendEvent(m_grid, &down);
        // A new entry starts with its first column, wherever the cursor was before.
        const int line = m_grid->model()->rowCount() - 1;
        int column = 0;
        while (column < m_grid->model()->columnCount() - 1 && m_grid->isColumnHidden(column))
            ++column;
        m_grid->setCurrentIndex(m_grid->model()->index(line, column));
    });
}

bool ListWindow::update()
{
    if (!checkNames())
        return false;
    return widgets::runCommand([this] {
        if (engine::Recordset* rs = recordset()) {
            rs->update();
            rs->updateBatch();
        }
    });
}

void ListWindow::deleteRow()
{
    widgets::runCommand([this] {
        engine::Recordset* rs = recordset();
        if (!rs)
            return;
        const QModelIndex current = m_grid->currentIndex();
        if (current.isValid() && m_grid->recordsetModel()->isNewRecordLine(current.row()))
            return; // the empty line holds no row
        deleteAndShowNext(*rs);
    });
}

void ListWindow::refresh()
{
    m_data->refresh();
}

QWidget* createPeriodsWindow()
{
    ListWindow::Setup s;
    s.name = QStringLiteral("frmPeriods");
    s.caption = QStringLiteral("Periods List");
    s.recordSource = QStringLiteral("select ID, Period from Periods Order by ID");
    s.note = QStringLiteral("NOTE: Sort order is important for the proper display of results.");
    s.columnWidths = {0, 5000};
    s.nameColumn = 1;
    return new ListWindow(s);
}

QWidget* createTestsWindow()
{
    ListWindow::Setup s;
    s.name = QStringLiteral("frmTests");
    s.caption = QStringLiteral("Tests List");
    s.recordSource = QStringLiteral("select Test,Description,Units from Tests Order by Test");
    s.columnWidths = {1900, 2500, 1000}; // the name column wide enough for most names
    // A file that could not gain the reference range (read-only) is listed as before.
    bool ranges = false;
    try {
        engine::Connection connection;
        connection.open(store::CodeConnection);
        ranges = store::hasReferenceRanges(connection);
    } catch (const Error&) {
        // the data control reports an unreadable file itself
    }
    if (ranges) {
        s.recordSource =
            QStringLiteral("select Test,Description,Units,Low,High from Tests Order by Test");
        s.columnWidths << 800 << 800;
        s.widthTwips = 7800; // the limits in view beside the unit
        s.lowColumn = 3;
        s.highColumn = 4;
    }
    return new ListWindow(s);
}

} // namespace vantor::entry
