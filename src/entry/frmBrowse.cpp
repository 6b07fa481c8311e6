#include "frmBrowse.h"

#include "JumpListSource.h"
#include "NavigationKeys.h"
#include "RecordActions.h"
#include "RecordNavigator.h"

#include "platform/Conversions.h"
#include "platform/Error.h"
#include "platform/Format.h"
#include "platform/Ui.h"
#include "store/ConnectionStrings.h"
#include "store/ReferenceRange.h"
#include "widgets/BoundField.h"
#include "widgets/CommandGuard.h"
#include "widgets/DataCombo.h"
#include "widgets/DataControl.h"
#include "widgets/DataGrid.h"
#include "widgets/Twips.h"

#include <QFormLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QVBoxLayout>

namespace vantor::entry {

namespace {

const QString BrowseCommand = QStringLiteral(
    "SHAPE {SELECT Results.ID, Results.Date, Periods.Period, Results.Remarks FROM Results INNER "
    "JOIN Periods ON Results.Period = Periods.ID Order by Date, [Results].Period} AS ParentCMD "
    "APPEND ({SELECT Details.ID, Tests.Test, Details.Result, Details.Unit FROM Tests INNER JOIN "
    "Details ON Tests.ID = Details.Test } AS ChildCMD RELATE ID TO ID) AS ChildCMD");

const QString ChildField = QStringLiteral("ChildCMD");

// Room left under the grid, in twips.
constexpr int GridBottomGap = 30;

} // namespace

frmBrowse::frmBrowse(QWidget* parent)
    : QWidget(parent), m_connection(std::make_unique<engine::Connection>()),
      m_rs(std::make_unique<engine::Recordset>())
{
    setObjectName(QStringLiteral("frmBrowse"));
    setWindowTitle(QStringLiteral("Browse Results"));
    setAttribute(Qt::WA_DeleteOnClose);

    createWidgets();
    createLayout();
    connect(m_jump, &widgets::DataCombo::choiceMade, this, &frmBrowse::jumpToChoice);
    connect(m_jumpData, &widgets::DataControl::error, this, showDataError);
    load();

    m_keys = new NavigationKeys(this, m_navigator);
    resize(widgets::twipsToPixelsX(6000, this),
           std::max(sizeHint().height(), widgets::twipsToPixelsY(5400, this)));
}

void frmBrowse::createWidgets()
{
    const auto lineField = [this](int index) {
        auto* e = new QLineEdit(this);
        e->setObjectName(QStringLiteral("txtFields(%1)").arg(index));
        e->setReadOnly(true);
        return e;
    };
    m_id = lineField(0);
    m_id->setVisible(false); // carried but never shown
    m_date = lineField(1);
    m_period = lineField(2);
    m_remarks = new QPlainTextEdit(this);
    m_remarks->setObjectName(QStringLiteral("txtFields(3)"));
    m_remarks->setReadOnly(true);
    m_remarks->setTabChangesFocus(true);
    m_remarks->setFixedHeight(m_remarks->fontMetrics().lineSpacing() * 3 +
                              2 * m_remarks->frameWidth() + 8);

    m_jumpData = makeListData(this, "Adodc2", JumpListSource);
    m_jump = makeDataCombo(this, "DateCombo", JumpListField, JumpBoundColumn);
    m_navigator = new RecordNavigator(this);
    m_grid = new widgets::DataGrid(this);
    m_grid->setObjectName(QStringLiteral("grdDataGrid"));
    m_grid->setReadOnly(true);
    m_grid->setAllowAddNew(false);
    m_grid->horizontalHeader()->setStretchLastSection(true);
}

// The fields and the status box on top; the grid takes the full width and
// whatever height is left, as the window is resized.
void frmBrowse::createLayout()
{
    const auto label = [this](int index, const QString& text, QWidget* buddy) {
        auto* l = new QLabel(text, this);
        l->setObjectName(QStringLiteral("lblLabels(%1)").arg(index));
        l->setBuddy(buddy);
        return l;
    };
    label(0, QStringLiteral("ID:"), nullptr)->setVisible(false);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, widgets::twipsToPixelsY(GridBottomGap, this));
    auto* top = new QVBoxLayout;
    top->setContentsMargins(6, 6, 6, 0);
    auto* form = new QFormLayout;
    form->addRow(new QLabel(QStringLiteral("Select Date/Period:"), this), m_jump);
    form->addRow(label(1, QStringLiteral("Date:"), m_date), m_date);
    form->addRow(label(2, QStringLiteral("Period:"), m_period), m_period);
    form->addRow(label(3, QStringLiteral("Remarks:"), m_remarks), m_remarks);
    top->addLayout(form);
    top->addWidget(m_navigator);
    layout->addLayout(top);
    layout->addWidget(m_grid, 1);
}

// The shaped recordset on the window's own connection, the bound fields, the
// grid on the chapter of test values, the jump list.
void frmBrowse::load()
{
    const platform::BusyPointer busy;
    engine::Recordset* children = nullptr;
    widgets::runCommand([this, &children] {
        m_connection->open(store::BrowseShapeConnection);
        m_rs->open(BrowseCommand, m_connection.get(), engine::CursorType::Static,
                   engine::LockType::Optimistic);
        children = m_rs->chapter(ChildField);
    });
    // Without the occasions (the user has been told why) there is nothing to show.
    if (!children)
        return;
    const auto bind = [this](auto* editor, const char* field, const QString& format = {}) {
        auto* bound = new widgets::BoundField(editor, this);
        if (!format.isEmpty())
            bound->setDisplayFormat(format);
        bound->bind(m_rs.get(), QLatin1String(field));
    };
    bind(m_id, "ID");
    bind(m_date, "Date", QStringLiteral("MMMM dd, yyyy"));
    bind(m_period, "Period");
    bind(m_remarks, "Remarks");
    m_navigator->setRecordset(m_rs.get());
    m_grid->setRecordset(children);
    m_grid->setColumnVisible(0, false);
    addFlagColumn();
    // A refill resets the grid's columns: keep the occasion's ID hidden.
    connect(children, &engine::Recordset::rowsReset, m_grid, [this] {
        m_grid->setColumnVisible(0, false);
        fitFlagColumn();
    });
    m_jumpData->refresh();
    m_jump->setRowSource(m_jumpData);
}

// Flag: each value against its item's reference range; the tooltip gives
// the range, or why the value is not compared.
void frmBrowse::addFlagColumn()
{
    QHash<QString, store::ReferenceRange> ranges;
    try {
        ranges = store::rangesByName(store::readReferenceRanges());
    } catch (const Error&) {
        return; // the values are shown without flags
    }
    widgets::RecordsetModel::DerivedColumn flag;
    flag.header = QStringLiteral("Flag");
    flag.data = [ranges](const engine::Recordset& rs, int row, int role) {
        return store::flagCell(ranges, platform::valueText(rs.valueAt(row, 1)), rs.valueAt(row, 2),
                               platform::valueText(rs.valueAt(row, 3)), role);
    };
    m_grid->recordsetModel()->setDerivedColumns({flag});
    m_grid->setColumnVisible(0, false);
    fitFlagColumn();
}

// The flag needs a letter's room; the unit keeps the rest.
void frmBrowse::fitFlagColumn()
{
    if (m_grid->model()->columnCount() < 5)
        return;
    m_grid->setColumnWidth(4, m_grid->fontMetrics().horizontalAdvance(QStringLiteral("Flag")) + 16);
    m_grid->setColumnWidth(3, m_grid->fontMetrics().horizontalAdvance(QStringLiteral("x10^3/uL")) +
                                  16);
}

frmBrowse::~frmBrowse()
{
    m_rs.reset();
    m_connection.reset();
}

void frmBrowse::jumpToChoice()
{
    if (!m_rs->isOpen())
        return;
    bool found = true;
    widgets::runCommand([this, &found] { found = jumpToOccasion(*m_rs, m_jump->boundText()); });
    m_navigator->updateStatus();
    if (!found)
        reportMissingOccasion(windowTitle());
}

} // namespace vantor::entry
