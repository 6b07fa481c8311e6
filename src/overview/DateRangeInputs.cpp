#include "DateRangeInputs.h"

#include "platform/Conversions.h"
#include "platform/DateSerial.h"
#include "platform/Error.h"
#include "platform/Format.h"
#include "platform/Ui.h"
#include "store/ConnectionStrings.h"
#include "widgets/DataCombo.h"
#include "widgets/DataControl.h"

#include "engine/Connection.h"
#include "engine/Recordset.h"

#include <QGridLayout>

namespace vantor::overview {

namespace {

const QString DatesSource =
    QStringLiteral("SELECT Format(Results.Date,\"Medium Date\") as Dates\r\n"
                   "FROM Results\r\n"
                   "GROUP BY Results.Date\r\n"
                   "ORDER BY Results.Date;\r\n");

const QString ItemsSource =
    QStringLiteral("SELECT Details.Test,Tests.Test\r\n"
                   "FROM Tests INNER JOIN Details ON Tests.ID = Details.Test\r\n"
                   "GROUP BY Details.Test, Tests.Test\r\n"
                   "ORDER BY Tests.Test;\r\n");

const QString PresetDatesSql = QStringLiteral(
    "SELECT Min(CDbl([Date])) AS Datum1, Max(CDbl([Date])) AS Datum2 FROM [Results];");
const QString PresetItemSql = QStringLiteral("SELECT ID, Test FROM [Tests] ORDER BY Test;");

widgets::DataCombo* makeList(const char* name, QWidget* parent)
{
    auto* list = new widgets::DataCombo(parent);
    list->setObjectName(QLatin1String(name));
    return list;
}

QDate listDate(const widgets::DataCombo* list)
{
    if (list->boundValue().isNull())
        throw Error(94, QStringLiteral("Invalid use of Null"));
    return platform::toDate(list->boundText());
}

} // namespace

DateRangeInputs::DateRangeInputs(const Setup& setup, QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("DateRangeInputs"));
    m_dates = new widgets::DataControl(this);
    m_dates->setObjectName(QStringLiteral("Adodc1"));
    m_dates->setVisible(false);
    m_dates->setConnectionString(store::ListConnection);
    m_dates->setRecordSource(DatesSource);
    m_from = makeList("DataCombo1", this);
    m_to = makeList("DataCombo2", this);
    for (widgets::DataCombo* list : {m_from, m_to})
        list->setListField(QStringLiteral("Dates"));

    auto* fromLabel = new QLabel(setup.fromLabel, this);
    fromLabel->setObjectName(QStringLiteral("Date_From_Label"));
    fromLabel->setBuddy(m_from);
    auto* toLabel = new QLabel(setup.toLabel, this);
    toLabel->setObjectName(QStringLiteral("Date_To_Label"));
    toLabel->setBuddy(m_to);

    auto* layout = new QGridLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(fromLabel, 0, 0);
    layout->addWidget(m_from, 0, 1);
    layout->addWidget(toLabel, 0, 2);
    layout->addWidget(m_to, 0, 3);
    layout->setColumnStretch(1, 1);
    layout->setColumnStretch(3, 1);

    if (setup.withItem) {
        m_items = new widgets::DataControl(this);
        m_items->setObjectName(QStringLiteral("Adodc2"));
        m_items->setVisible(false);
        m_items->setConnectionString(store::ListConnection);
        m_items->setRecordSource(ItemsSource);
        m_item = makeList("ItemCombo", this);
        m_item->setListField(QStringLiteral("Tests.Test"));
        m_item->setBoundColumn(QStringLiteral("Details.Test"));
        auto* itemLabel = new QLabel(QStringLiteral("Test Item:"), this);
        itemLabel->setObjectName(QStringLiteral("Item_Label"));
        itemLabel->setBuddy(m_item);
        layout->addWidget(itemLabel, 1, 0);
        layout->addWidget(m_item, 1, 1, 1, 3);
    }
}

void DateRangeInputs::load(const QString& errorTitle)
{
    // One message for the first failure: the later steps would only repeat it.
    QString failure;
    const auto noteFailure = [&failure](int, const QString& description) {
        if (failure.isEmpty())
            failure = description;
    };
    const auto connection = connect(m_dates, &widgets::DataControl::error, this, noteFailure);
    if (m_dates->refresh()) {
        m_from->setRowSource(m_dates);
        m_to->setRowSource(m_dates);
    }
    disconnect(connection);
    if (m_items) {
        const auto itemConnection =
            connect(m_items, &widgets::DataControl::error, this, noteFailure);
        if (m_items->refresh())
            m_item->setRowSource(m_items);
        disconnect(itemConnection);
    }
    if (failure.isEmpty()) {
        try {
            presetDates();
            if (m_item)
                presetItem();
        } catch (const Error& e) {
            failure = e.description();
        }
    }
    if (!failure.isEmpty()) {
        platform::ui().beep();
        platform::showMessage(failure, platform::Icon::Critical, errorTitle);
    }
}

void DateRangeInputs::presetDates()
{
    engine::Connection connection;
    connection.open(store::CodeConnection);
    engine::Recordset rs;
    rs.open(PresetDatesSql, &connection);
    rs.moveFirst();
    if (rs.eof())
        return;
    const QVariant first = rs.value(QStringLiteral("Datum1"));
    const QVariant last = rs.value(QStringLiteral("Datum2"));
    // No occasion at all: both are null and the lists keep no value.
    if (first.isNull() || last.isNull())
        return;
    m_from->setBoundText(platform::mediumDate(platform::fromSerial(first.toDouble())));
    m_to->setBoundText(platform::mediumDate(platform::fromSerial(last.toDouble())));
}

void DateRangeInputs::presetItem()
{
    engine::Connection connection;
    connection.open(store::CodeConnection);
    engine::Recordset rs;
    rs.open(PresetItemSql, &connection);
    rs.moveFirst();
    if (rs.eof())
        return;
    const QVariant id = rs.value(QStringLiteral("ID"));
    if (!id.isNull())
        m_item->setBoundText(QString::number(platform::toInteger32(id.toDouble())));
}

bool DateRangeInputs::checkBothDates() const
{
    if (!m_from->boundValue().isNull() && !m_to->boundValue().isNull())
        return true;
    showMissingDate();
    return false;
}

bool DateRangeInputs::Check_Date() const
{
    if (m_from->boundValue().isNull() || m_to->boundValue().isNull())
        return true;
    QDate from;
    QDate to;
    try {
        from = fromDate();
        to = toDate();
    } catch (const Error& e) {
        platform::ui().beep();
        platform::showMessage(e.description(), platform::Icon::Critical,
                              QStringLiteral("Check Date"));
        return false;
    }
    if (from <= to)
        return true;
    platform::ui().beep();
    platform::showMessage(QStringLiteral("The From date can't be later than the To date."),
                          platform::Icon::Exclamation, QStringLiteral("Invalid Entry"));
    return false;
}

QDate DateRangeInputs::fromDate() const
{
    return listDate(m_from);
}

QDate DateRangeInputs::toDate() const
{
    return listDate(m_to);
}

QString DateRangeInputs::fromText() const
{
    return m_from->currentText();
}

QString DateRangeInputs::toText() const
{
    return m_to->currentText();
}

qint32 DateRangeInputs::itemId() const
{
    const QVariant id = m_item ? m_item->boundValue() : QVariant();
    // The preset item may have no values and so not be in the list.
    if (id.isNull())
        throw Error(94, QStringLiteral("Please choose a test item."));
    return platform::toInteger32(m_item->boundText());
}

QString DateRangeInputs::itemName() const
{
    return m_item ? m_item->currentText() : QString();
}

void DateRangeInputs::showMissingDate()
{
    platform::ui().beep();
    platform::showMessage(
        QStringLiteral("Please make sure you have selected both a From date and a To date."),
        platform::Icon::Exclamation, QStringLiteral("Missing Date"));
}

void DateRangeInputs::showNoRecordsFound()
{
    platform::ui().beep();
    platform::showMessage(QStringLiteral("Sorry, there are no records which match that criteria."),
                          platform::Icon::Information, QStringLiteral("No Records Found"));
}

} // namespace vantor::overview
