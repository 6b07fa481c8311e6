#include "frmBrowse.h"

#include "JumpListSource.h"
#include "NavigationKeys.h"
#include "RecordActions.h"
#include "RecordNavigator.h"

#include "platform/Conversions.h"
#include "platform/Ui.h"
#include "store/ConnectionStrings.h"
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

    const auto label = [this](int index, const QString& text) {
        auto* l = new QLabel(text, this);
        l->setObjectName(QStringLiteral("lblLabels(%1)").arg(index));
        return l;
    };
    const auto lineField = [this](int index) {
        auto* e = new QLineEdit(this);
        e->setObjectName(QStringLiteral("txtFields(%1)").arg(index));
        e->setReadOnly(true);
        return e;
    };
    // The ID is carried but never shown.
    QLabel* idLabel = label(0, QStringLiteral("ID:"));
    idLabel->setVisible(false);
    m_id = lineField(0);
    m_id->setVisible(false);
    m_date = lineField(1);
    m_period = lineField(2);
    m_remarks = new QPlainTextEdit(this);
    m_remarks->setObjectName(QStringLiteral("txtFields(3)"));
    m_remarks->setReadOnly(true);
    m_remarks->setTabChangesFocus(true);
    m_remarks->setFixedHeight(m_remarks->fontMetrics().lineSpacing() * 3 +
                              2 * m_remarks->frameWidth() + 8);

    m_jumpData = new widgets::DataControl(this);
    m_jumpData->setObjectName(QStringLiteral("Adodc2"));
    m_jumpData->setVisible(false);
    m_jumpData->setConnectionString(store::ListConnection);
    m_jumpData->setRecordSource(JumpListSource);
    m_jump = new widgets::DataCombo(this);
    m_jump->setObjectName(QStringLiteral("DateCombo"));
    m_jump->setListField(JumpListField);
    m_jump->setBoundColumn(JumpBoundColumn);

    m_navigator = new RecordNavigator(this);
    m_grid = new widgets::DataGrid(this);
    m_grid->setObjectName(QStringLiteral("grdDataGrid"));
    m_grid->setReadOnly(true);
    m_grid->setAllowAddNew(false);
    m_grid->horizontalHeader()->setStretchLastSection(true);

    // The fields and the status box on top; the grid takes the full width and
    // whatever height is left, as the window is resized.
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, widgets::twipsToPixelsY(GridBottomGap, this));
    auto* top = new QVBoxLayout;
    top->setContentsMargins(6, 6, 6, 0);
    auto* form = new QFormLayout;
    form->addRow(new QLabel(QStringLiteral("Select Date/Period:"), this), m_jump);
    QLabel* dateLabel = label(1, QStringLiteral("Date:"));
    dateLabel->setBuddy(m_date);
    form->addRow(dateLabel, m_date);
    QLabel* periodLabel = label(2, QStringLiteral("Period:"));
    periodLabel->setBuddy(m_period);
    form->addRow(periodLabel, m_period);
    QLabel* remarksLabel = label(3, QStringLiteral("Remarks:"));
    remarksLabel->setBuddy(m_remarks);
    form->addRow(remarksLabel, m_remarks);
    top->addLayout(form);
    top->addWidget(m_navigator);
    layout->addLayout(top);
    layout->addWidget(m_grid, 1);

    auto* idField = new widgets::BoundField(m_id, this);
    auto* dateField = new widgets::BoundField(m_date, this);
    dateField->setDisplayFormat(QStringLiteral("MMMM dd, yyyy"));
    auto* periodField = new widgets::BoundField(m_period, this);
    auto* remarksField = new widgets::BoundField(m_remarks, this);

    connect(m_jump, &widgets::DataCombo::choiceMade, this, &frmBrowse::jumpToChoice);
    connect(m_jumpData, &widgets::DataControl::error, this, [](int, const QString& description) {
        platform::showMessage(description, platform::Icon::Critical);
    });

    // Load: the shaped recordset on the window's own connection, the bound
    // fields, the grid on the chapter of test values, the jump list.
    {
        const platform::BusyPointer busy;
        engine::Recordset* children = nullptr;
        widgets::runCommand([this, &children] {
            m_connection->open(store::BrowseShapeConnection);
            m_rs->open(BrowseCommand, m_connection.get(), engine::CursorType::Static,
                       engine::LockType::Optimistic);
            children = m_rs->chapter(ChildField);
        });
        if (children) {
            idField->bind(m_rs.get(), QStringLiteral("ID"));
            dateField->bind(m_rs.get(), QStringLiteral("Date"));
            periodField->bind(m_rs.get(), QStringLiteral("Period"));
            remarksField->bind(m_rs.get(), QStringLiteral("Remarks"));
            m_navigator->setRecordset(m_rs.get());
            m_grid->setRecordset(children);
            m_grid->setColumnVisible(0, false);
            // A refill resets the grid's columns: keep the occasion's ID hidden.
            connect(children, &engine::Recordset::rowsReset, m_grid,
                    [grid = m_grid] { grid->setColumnVisible(0, false); });
            // Without the occasions (the user has been told why) there is nothing to jump to.
            m_jumpData->refresh();
            m_jump->setRowSource(m_jumpData);
        }
    }

    m_keys = new NavigationKeys(this, m_navigator);
    resize(widgets::twipsToPixelsX(6000, this),
           std::max(sizeHint().height(), widgets::twipsToPixelsY(5400, this)));
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
