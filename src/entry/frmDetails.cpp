#include "frmDetails.h"

#include "RecordActions.h"

#include "platform/Conversions.h"
#include "platform/Error.h"
#include "platform/Format.h"
#include "platform/Ui.h"
#include "store/ConnectionStrings.h"
#include "store/ReferenceRange.h"
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

frmDetails::frmDetails(qint32 occasionId, QWidget* parent)
    : QWidget(parent), m_occasion(occasionId), m_connection(std::make_unique<engine::Connection>()),
      m_rs(std::make_unique<engine::Recordset>())
{
    setObjectName(QStringLiteral("frmDetails"));
    setWindowTitle(QStringLiteral("Record Details"));
    setAttribute(Qt::WA_DeleteOnClose);

    createWidgets();
    connectButtons(createLayout());
    load();

    setFixedSize(std::max(minimumSizeHint().width(), widgets::twipsToPixelsX(4800, this)),
                 sizeHint().height());
}

void frmDetails::createWidgets()
{
    m_testsData = makeListData(this, "Adodc1",
                               QStringLiteral("SELECT ID, Test, Units FROM Tests ORDER BY Test;"));
    m_test = makeDataCombo(this, "datFields(0)", QStringLiteral("Test"), QStringLiteral("ID"));
    m_testId = new QLineEdit(this);
    m_testId->setObjectName(QStringLiteral("txtFields(0)"));
    m_testId->setReadOnly(true);
    m_testId->setVisible(false);
    m_result = new QLineEdit(this);
    m_result->setObjectName(QStringLiteral("txtFields(1)"));
    m_unit = new QLineEdit(this);
    m_unit->setObjectName(QStringLiteral("txtFields(2)"));
    m_unit->setReadOnly(true);
    m_unit->setFocusPolicy(Qt::NoFocus);
    m_navigator = new RecordNavigator(this);
    m_flag = new QLabel(this);
    m_flag->setObjectName(QStringLiteral("lblFlag"));
    m_flag->setTextFormat(Qt::PlainText);

    m_testIdField = new widgets::BoundField(m_testId, this);
    m_resultField = new widgets::BoundField(m_result, this);
    m_unitField = new widgets::BoundField(m_unit, this);
}

EditButtons frmDetails::createLayout()
{
    auto* layout = new QVBoxLayout(this);
    auto* fields = new QFormLayout;
    fields->addRow(buddyLabel(QStringLiteral("Test Item:"), m_test), m_test);
    auto* resultRow = new QHBoxLayout;
    resultRow->addWidget(m_result, 1);
    resultRow->addWidget(m_flag);
    fields->addRow(buddyLabel(QStringLiteral("Test Result:"), m_result), resultRow);
    fields->addRow(new QLabel(QStringLiteral("Unit:"), this), m_unit);
    layout->addLayout(fields);
    layout->addWidget(m_navigator);
    const EditButtons buttons = makeEditButtons(this);
    layout->addWidget(buttons.bar);
    return buttons;
}

void frmDetails::connectButtons(const EditButtons& buttons)
{
    connect(buttons.add, &QPushButton::clicked, this, &frmDetails::add);
    connect(buttons.update, &QPushButton::clicked, this, &frmDetails::update);
    connect(buttons.remove, &QPushButton::clicked, this, &frmDetails::deleteRecord);
    connect(buttons.close, &QPushButton::clicked, this, &QWidget::close);
    connect(m_test, &widgets::DataCombo::choiceMade, this, [this] {
        if (m_rs->isOpen() && !m_rs->bof() && !m_rs->eof())
            widgets::runCommand([this] { Update_Units(); });
    });
    connect(m_test, &widgets::DataCombo::dataError, this, showDataError);
    connect(m_testsData, &widgets::DataControl::error, this, showDataError);
    // Enter in the result writes the value, the usual end of typing one.
    connect(m_result, &QLineEdit::returnPressed, this, &frmDetails::update);
    connect(escapeShortcut(this), &QShortcut::activated, this, &frmDetails::cancelNew);
}

// The occasion's values on the window's own connection, then the bindings.
void frmDetails::load()
{
    widgets::runCommand([this] {
        m_connection->open(store::CodeConnection);
        const QString sql = QStringLiteral("SELECT ID, Test, Result, Unit ") +
                            QStringLiteral("FROM Details ") + QStringLiteral("WHERE ID=") +
                            QString::number(m_occasion) + QStringLiteral(" ") +
                            QStringLiteral("ORDER BY Test;");
        m_rs->open(sql, m_connection.get(), engine::CursorType::Static,
                   engine::LockType::Optimistic);
    });
    m_testsData->refresh();
    m_test->setRowSource(m_testsData);
    if (m_rs->isOpen()) {
        m_testIdField->bind(m_rs.get(), QStringLiteral("Test"));
        m_resultField->bind(m_rs.get(), QStringLiteral("Result"));
        m_unitField->bind(m_rs.get(), QStringLiteral("Unit"));
        m_test->setDataSource(m_rs.get(), QStringLiteral("Test"));
        m_navigator->setRecordset(m_rs.get());
        connect(m_rs.get(), &engine::Recordset::moveComplete, this, &frmDetails::showFlag);
        connect(m_rs.get(), &engine::Recordset::rowChanged, this, &frmDetails::showFlag);
        showFlag();
    }
    m_navigator->setBeforeMove([this] { return commitFields(); });
    setWindowTitle(occasionCaption());
}

// The stored value against its item's reference range, read afresh: the
// range may have been changed in the Tests list since the window opened.
void frmDetails::showFlag()
{
    m_flag->clear();
    m_flag->setToolTip(QString());
    m_flag->setStyleSheet(QString());
    if (!m_rs->isOpen() || m_rs->bof() || m_rs->eof() ||
        m_rs->editMode() == engine::EditMode::AddNew)
        return;
    const QVariant result = m_rs->value(QStringLiteral("Result"));
    if (result.isNull())
        return;
    QHash<qint64, store::ReferenceRange> ranges;
    try {
        ranges = store::readReferenceRanges(*m_connection);
    } catch (const Error&) {
        return; // no flag rather than a message for every record shown
    }
    const store::ReferenceRange range =
        ranges.value(m_rs->value(QStringLiteral("Test")).toLongLong());
    if (range.isEmpty())
        return;
    const QString unit = platform::valueText(m_rs->value(QStringLiteral("Unit")));
    const store::RangeFlag flag = store::rangeFlag(result.toDouble(), range, unit);
    const QString flagText = store::flagText(flag);
    m_flag->setText((flagText.isEmpty() ? QString() : flagText + QStringLiteral("  ")) +
                    QStringLiteral("(") + store::rangeText(range) + QStringLiteral(")"));
    if (flag == store::RangeFlag::NotCompared)
        m_flag->setToolTip(store::notComparedText(unit, range.units));
    else if (!flagText.isEmpty())
        m_flag->setStyleSheet(QStringLiteral("color: #c00000; font-weight: bold"));
}

QString frmDetails::occasionCaption() const
{
    QString caption = QStringLiteral("Record Details");
    try {
        engine::Connection connection;
        connection.open(store::CodeConnection);
        engine::Recordset occasion;
        occasion.open(QStringLiteral("SELECT Results.Date, Periods.Period FROM Results LEFT JOIN "
                                     "Periods ON Results.Period = Periods.ID WHERE Results.ID=") +
                          QString::number(m_occasion) + QStringLiteral(";"),
                      &connection);
        if (!occasion.eof()) {
            QString what = platform::mediumDate(occasion.value(0).toDate());
            const QString period = platform::valueText(occasion.value(1));
            if (!period.isEmpty())
                what += QStringLiteral(", ") + period;
            caption += QStringLiteral(" - ") + what;
        }
    } catch (const Error&) {
        // The plain caption will do; the window reports what fails when the user acts.
    }
    return caption;
}

frmDetails::~frmDetails()
{
    m_rs.reset();
    m_connection.reset();
}

// Copies the chosen test item's unit into the value: copied, not linked, so a
// later change of the item's unit leaves stored values as they are.
void frmDetails::Update_Units()
{
    const qint32 test = platform::toInteger32(m_testId->text());
    engine::Connection connection;
    connection.open(store::CodeConnection);
    engine::Recordset units;
    units.open(QStringLiteral("SELECT Tests.Units From Tests WHERE ID=") + QString::number(test) +
                   QStringLiteral(";"),
               &connection);
    units.moveFirst();
    const QString unit = units.eof() ? QString() : platform::valueText(units.value(0));
    m_unit->setReadOnly(false);
    m_unitField->setText(unit);
    m_unitField->writeToRecord();
    m_unit->setReadOnly(true);
}

bool frmDetails::commitFields()
{
    if (!m_rs->isOpen() || m_rs->bof() || m_rs->eof())
        return true;
    const bool editing = m_resultField->isDirty() || m_rs->editMode() != engine::EditMode::None;
    if (!editing)
        return true;
    if (m_test->currentIndex() < 0 || m_testId->text().trimmed().isEmpty()) {
        platform::ui().beep();
        platform::showMessage(QStringLiteral("Please choose the test item."),
                              platform::Icon::Exclamation, InvalidEntry);
        m_test->setFocus();
        return false;
    }
    const auto result = m_resultField->typedValue();
    if (!result || result->isNull()) {
        platform::ui().beep();
        platform::showMessage(QStringLiteral("Please type the test result as a number, for "
                                             "example %1.")
                                  .arg(QLocale().toString(5.4)),
                              platform::Icon::Exclamation, InvalidEntry);
        m_result->setFocus();
        return false;
    }
    return widgets::runCommand([this] {
        Update_Units();
        m_resultField->writeToRecord();
    });
}

void frmDetails::add()
{
    if (!m_rs->isOpen() || !commitFields())
        return;
    const bool ok = widgets::runCommand([this] {
        m_rs->addNew();
        m_rs->setValue(QStringLiteral("ID"), m_occasion);
    });
    if (ok)
        m_test->setFocus();
}

bool frmDetails::hasUnsavedChange() const
{
    if (!m_rs->isOpen())
        return false;
    if (m_resultField->isDirty())
        return true;
    if (m_rs->bof() || m_rs->eof())
        return m_test->currentIndex() >= 0;
    return m_rs->editMode() != engine::EditMode::None;
}

void frmDetails::startRecordFromTyped()
{
    const int test = m_test->currentIndex();
    const QString result = m_resultField->text();
    m_rs->addNew();
    m_rs->setValue(QStringLiteral("ID"), m_occasion);
    if (test >= 0)
        m_rs->setValue(QStringLiteral("Test"), m_test->itemData(test, Qt::UserRole));
    m_resultField->setText(result);
}

void frmDetails::cancelNew()
{
    if (!m_rs->isOpen())
        return;
    if (m_rs->editMode() == engine::EditMode::AddNew)
        widgets::runCommand([this] { m_rs->cancelUpdate(); });
    m_resultField->showRecord();
    m_unitField->showRecord();
    m_test->setDataSource(m_rs.get(), QStringLiteral("Test"));
    m_navigator->updateStatus();
}

void frmDetails::closeEvent(QCloseEvent* event)
{
    event->setAccepted(
        mayCloseRecord(*this, *m_rs, hasUnsavedChange(), [this] { return update(); }));
}

bool frmDetails::update()
{
    if (!m_rs->isOpen() || !hasUnsavedChange())
        return true;
    const bool ok = saveTyped(
        *m_rs, [this] { startRecordFromTyped(); }, [this] { return commitFields(); });
    m_navigator->updateStatus();
    showFlag();
    return ok;
}

void frmDetails::deleteRecord()
{
    widgets::runCommand([this] { deleteAndShowNext(*m_rs); });
    m_navigator->updateStatus();
}

QWidget* createDetailsWindow()
{
    auto* edit = widgets::windows().find(QStringLiteral("frmEdit"));
    auto* idBox = edit ? edit->findChild<QLineEdit*>(QStringLiteral("txtFields(1)")) : nullptr;
    const QString text = idBox ? idBox->text().trimmed() : QString();
    bool ok = false;
    const qint32 id = text.toInt(&ok);
    if (!ok) {
        platform::ui().beep();
        platform::showMessage(QStringLiteral("Open Data, Edit and show a saved occasion first; "
                                             "its test values are entered here."),
                              platform::Icon::Exclamation, QStringLiteral("Record Details"));
        return nullptr;
    }
    return new frmDetails(id);
}

} // namespace vantor::entry
