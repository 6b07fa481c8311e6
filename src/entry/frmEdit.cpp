#include "frmEdit.h"

#include "JumpListSource.h"
#include "RecordActions.h"
#include "frmDetails.h"

#include "platform/Conversions.h"
#include "platform/Error.h"
#include "platform/Ui.h"
#include "store/ConnectionStrings.h"
#include "widgets/CommandGuard.h"
#include "widgets/Twips.h"
#include "widgets/WindowRegistry.h"

#include <QCloseEvent>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QShortcut>
#include <QVBoxLayout>

#include <algorithm>

namespace vantor::entry {

namespace {

const QString InvalidEntry = QStringLiteral("Invalid Entry");

} // namespace

frmEdit::frmEdit(QWidget* parent)
    : QWidget(parent), m_connection(std::make_unique<engine::Connection>()),
      m_rs(std::make_unique<engine::Recordset>())
{
    setObjectName(QStringLiteral("frmEdit"));
    setWindowTitle(QStringLiteral("Edit Data"));
    setAttribute(Qt::WA_DeleteOnClose);

    createWidgets();
    connectButtons(createLayout());
    load();

    // As narrow as the layout allows: it must fit the first-run main window.
    setFixedSize(std::max(minimumSizeHint().width(), widgets::twipsToPixelsX(5400, this)),
                 sizeHint().height());
}

void frmEdit::createWidgets()
{
    m_date = new QLineEdit(this);
    m_date->setObjectName(QStringLiteral("txtFields(0)"));
    m_id = new QLineEdit(this);
    m_id->setObjectName(QStringLiteral("txtFields(1)"));
    m_id->setVisible(false);
    m_remarks = new QPlainTextEdit(this);
    m_remarks->setObjectName(QStringLiteral("txtFields(2)"));
    m_remarks->setTabChangesFocus(true);
    m_remarks->setFixedHeight(m_remarks->fontMetrics().lineSpacing() * 5 + 10);

    m_periodsData = makeListData(
        this, "Adodc1",
        QStringLiteral("select Periods.ID, Periods.Period from Periods order by Periods.ID;"));
    m_periods = makeDataCombo(this, "datPeriods", QStringLiteral("Period"), QStringLiteral("ID"));
    m_jumpData = makeListData(this, "Adodc2", JumpListSource);
    m_jump = makeDataCombo(this, "DateCombo", QStringLiteral("DatePeriod"), QStringLiteral("ID"));
    m_navigator = new RecordNavigator(this);

    m_dateField = new widgets::BoundField(m_date, this);
    m_dateField->setDisplayFormat(QStringLiteral("m/d/yyyy"));
    m_idField = new widgets::BoundField(m_id, this);
    m_remarksField = new widgets::BoundField(m_remarks, this);
}

// The jump list on top, the record's fields, the navigation, the buttons.
EditButtons frmEdit::createLayout()
{
    auto* layout = new QVBoxLayout(this);
    auto* jumpRow = new QFormLayout;
    jumpRow->addRow(new QLabel(QStringLiteral("Select Date/Period:"), this), m_jump);
    layout->addLayout(jumpRow);
    auto* fields = new QFormLayout;
    fields->addRow(buddyLabel(QStringLiteral("Date (month/day/year):"), m_date), m_date);
    fields->addRow(buddyLabel(QStringLiteral("Period:"), m_periods), m_periods);
    fields->addRow(buddyLabel(QStringLiteral("Remarks:"), m_remarks), m_remarks);
    layout->addLayout(fields);
    layout->addWidget(m_navigator);

    const EditButtons buttons = makeEditButtons(this);
    auto* row = static_cast<QHBoxLayout*>(buttons.bar->layout());
    row->addStretch(1);
    // T: D belongs to Delete.
    m_detailsButton = makeButton(this, "cmdDetails", tr("De&tails"));
    row->addWidget(m_detailsButton);
    layout->addWidget(buttons.bar);

    // Tab follows the screen: the jump list, then the record's fields top down.
    setTabOrder(m_jump, m_date);
    setTabOrder(m_date, m_periods);
    setTabOrder(m_periods, m_remarks);
    return buttons;
}

void frmEdit::connectButtons(const EditButtons& buttons)
{
    connect(buttons.add, &QPushButton::clicked, this, &frmEdit::add);
    connect(buttons.update, &QPushButton::clicked, this, &frmEdit::update);
    connect(buttons.remove, &QPushButton::clicked, this, &frmEdit::deleteRecord);
    connect(buttons.close, &QPushButton::clicked, this, &QWidget::close);
    connect(m_detailsButton, &QPushButton::clicked, this, &frmEdit::showDetails);
    connect(m_jump, &widgets::DataCombo::choiceMade, this, &frmEdit::jumpToChoice);
    connect(m_periods, &widgets::DataCombo::dataError, this, showDataError);
    connect(m_periodsData, &widgets::DataControl::error, this, showDataError);
    connect(m_jumpData, &widgets::DataControl::error, this, showDataError);
    connect(escapeShortcut(this), &QShortcut::activated, this, &frmEdit::cancelNew);
}

// The window's own connection and recordset, then the bindings.
void frmEdit::load()
{
    widgets::runCommand([this] {
        m_connection->open(store::CodeConnection);
        m_rs->open(QStringLiteral("SELECT ID, Date, Period, Remarks From Results ORDER BY Date, "
                                  "Period"),
                   m_connection.get(), engine::CursorType::Static, engine::LockType::Optimistic);
    });
    m_periodsData->refresh();
    m_jumpData->refresh();
    m_periods->setRowSource(m_periodsData);
    m_jump->setRowSource(m_jumpData);
    if (m_rs->isOpen()) {
        m_dateField->bind(m_rs.get(), QStringLiteral("Date"));
        m_idField->bind(m_rs.get(), QStringLiteral("ID"));
        m_remarksField->bind(m_rs.get(), QStringLiteral("Remarks"));
        m_periods->setDataSource(m_rs.get(), QStringLiteral("Period"));
        m_navigator->setRecordset(m_rs.get());
    }
    m_navigator->setBeforeMove([this] { return commitFields(); });
}

frmEdit::~frmEdit()
{
    m_rs.reset();
    m_connection.reset();
}

bool frmEdit::commitFields()
{
    if (!m_rs->isOpen() || m_rs->bof() || m_rs->eof())
        return true;
    const bool editing = m_dateField->isDirty() || m_remarksField->isDirty() ||
                         m_rs->editMode() != engine::EditMode::None;
    if (!editing)
        return true;
    // Refuse, with the field named, what the table would store as garbage.
    const auto date = m_dateField->typedValue();
    if (!date || date->isNull()) {
        platform::ui().beep();
        platform::showMessage(QStringLiteral("Please type the date as month/day/year, for "
                                             "example 3/5/2004."),
                              platform::Icon::Exclamation, InvalidEntry);
        m_date->setFocus();
        return false;
    }
    if (m_periods->currentIndex() < 0) {
        platform::ui().beep();
        platform::showMessage(QStringLiteral("Please choose the period of the day."),
                              platform::Icon::Exclamation, InvalidEntry);
        m_periods->setFocus();
        return false;
    }
    // Read before the fields are written: the combo follows the record as it changes.
    const QVariant period = m_periods->boundValue();
    return widgets::runCommand([this, &period] {
        m_dateField->writeToRecord();
        m_remarksField->writeToRecord();
        if (m_rs->value(QStringLiteral("Period")).isNull() ||
            m_rs->value(QStringLiteral("Period")) != period)
            m_rs->setValue(QStringLiteral("Period"), period);
    });
}

void frmEdit::add()
{
    if (!m_rs->isOpen() || !commitFields())
        return;
    if (widgets::runCommand([this] { m_rs->addNew(); }))
        m_date->setFocus();
}

bool frmEdit::hasUnsavedChange() const
{
    if (!m_rs->isOpen())
        return false;
    if (m_dateField->isDirty() || m_remarksField->isDirty())
        return true;
    if (m_rs->bof() || m_rs->eof())
        return m_periods->currentIndex() >= 0;
    return m_rs->editMode() != engine::EditMode::None;
}

void frmEdit::startRecordFromTyped()
{
    const QString date = m_dateField->text();
    const QString remarks = m_remarksField->text();
    const int period = m_periods->currentIndex();
    m_rs->addNew();
    if (period >= 0)
        m_rs->setValue(QStringLiteral("Period"), m_periods->itemData(period, Qt::UserRole));
    m_dateField->setText(date);
    m_remarksField->setText(remarks);
}

bool frmEdit::update()
{
    if (!m_rs->isOpen() || !hasUnsavedChange())
        return true;
    const bool ok = saveTyped(
        *m_rs, [this] { startRecordFromTyped(); }, [this] { return commitFields(); });
    if (ok) {
        m_idField->showRecord(); // the new occasion's id, assigned by the database
        m_navigator->updateStatus();
        m_jumpData->refresh();
    }
    return ok;
}

// The occasion goes with its test values, in one transaction: values left
// behind would belong to no occasion that any window shows.
void frmEdit::deleteRecord()
{
    if (!m_rs->isOpen() || m_rs->bof() || m_rs->eof())
        return;
    // The values window of this occasion goes first (asking about what is
    // typed there), so that no value is written under a deleted occasion.
    auto* details =
        qobject_cast<frmDetails*>(widgets::windows().find(QStringLiteral("frmDetails")));
    if (details && m_rs->editMode() != engine::EditMode::AddNew &&
        details->occasionId() == m_rs->value(QStringLiteral("ID")).toLongLong() &&
        !details->close())
        return;
    const bool ok = widgets::runCommand([this] {
        if (m_rs->editMode() == engine::EditMode::AddNew) {
            deleteAndShowNext(*m_rs); // never written: nothing in the file to delete
            return;
        }
        const QVariant id = m_rs->value(QStringLiteral("ID"));
        m_connection->beginTrans();
        try {
            m_connection->execute(QStringLiteral("DELETE FROM Details WHERE ID=") +
                                  QString::number(id.toLongLong()));
            m_rs->deleteCurrent();
            m_connection->commitTrans();
        } catch (...) {
            m_connection->rollbackTrans();
            throw;
        }
        m_rs->moveNext();
        if (m_rs->eof())
            m_rs->moveLast();
    });
    m_navigator->updateStatus();
    if (ok)
        m_jumpData->refresh();
}

void frmEdit::cancelNew()
{
    if (!m_rs->isOpen())
        return;
    if (m_rs->editMode() == engine::EditMode::AddNew)
        widgets::runCommand([this] { m_rs->cancelUpdate(); });
    m_dateField->showRecord();
    m_remarksField->showRecord();
    m_periods->setDataSource(m_rs.get(), QStringLiteral("Period"));
    m_navigator->updateStatus();
}

void frmEdit::closeEvent(QCloseEvent* event)
{
    event->setAccepted(
        mayCloseRecord(*this, *m_rs, hasUnsavedChange(), [this] { return update(); }));
}

void frmEdit::showDetails()
{
    if (m_id->text().trimmed().isEmpty()) {
        platform::ui().beep();
        platform::showMessage(
            m_rs->isOpen() && m_rs->recordCount() > 0
                ? QStringLiteral("This occasion is not saved yet. Press Update to save it, then "
                                 "enter its test values with Details.")
                : QStringLiteral("There is no occasion to show the details of. Add one first."),
            platform::Icon::Exclamation, QStringLiteral("Record Details"));
        return;
    }
    widgets::windows().show(QStringLiteral("frmDetails"));
}

void frmEdit::jumpToChoice()
{
    if (!m_rs->isOpen() || !commitFields())
        return;
    bool found = true;
    widgets::runCommand([this, &found] { found = jumpToOccasion(*m_rs, m_jump->boundText()); });
    m_navigator->updateStatus();
    if (!found) {
        reportMissingOccasion(windowTitle());
        m_jumpData->refresh();
    }
}

} // namespace vantor::entry
