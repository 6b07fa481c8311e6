#include "dlgList.h"

#include "ValueList.h"
#include "frmList.h"

#include "engine/Connection.h"
#include "engine/Recordset.h"
#include "platform/Conversions.h"
#include "platform/Ui.h"
#include "store/ConnectionStrings.h"
#include "widgets/WindowRegistry.h"

#include <QFormLayout>
#include <QLabel>

#include <cmath>

namespace vantor::overview {

dlgList::dlgList(QWidget* parent)
    : DateRangeDialog({QStringLiteral("dlgList"), QStringLiteral("Item Dialog"),
                       QStringLiteral("From date"), QStringLiteral("to"), true,
                       QStringLiteral("View List"), QStringLiteral("Select Dates")},
                      parent)
{
    m_condition = new QComboBox(this);
    m_condition->setObjectName(QStringLiteral("ConditionCombo"));
    m_condition->setEditable(true);
    m_condition->setInsertPolicy(QComboBox::NoInsert);
    FillList(QStringLiteral("1;equal to;2;greater than;3;less than"), m_condition,
             QStringLiteral("String"));
    m_condition->setCurrentIndex(0);
    m_result = new QLineEdit(this);
    m_result->setObjectName(QStringLiteral("txtResult"));

    auto* conditionLabel = new QLabel(QStringLiteral("Condition:"), this);
    conditionLabel->setObjectName(QStringLiteral("Condition_Label"));
    conditionLabel->setBuddy(m_condition);
    auto* resultLabel = new QLabel(QStringLiteral("Result:"), this);
    resultLabel->setObjectName(QStringLiteral("Result_Label"));
    resultLabel->setBuddy(m_result);
    auto* form = new QFormLayout;
    form->setContentsMargins(0, 0, 0, 0);
    form->addRow(conditionLabel, m_condition);
    form->addRow(resultLabel, m_result);
    inputLayout()->addLayout(form);
}

void dlgList::refuse(const QString& text, const QString& title, QWidget* input)
{
    platform::ui().beep();
    platform::showMessage(text, platform::Icon::Exclamation, title);
    input->setFocus();
}

std::optional<ListRequest> dlgList::readRequest() const
{
    ListRequest request;
    request.from = inputs()->fromDate();
    request.to = inputs()->toDate();
    request.resultText = m_result->text().trimmed();
    if (request.resultText.isEmpty()) {
        refuse(QStringLiteral("Please enter a result."), QStringLiteral("Entry Required"),
               m_result);
        return std::nullopt;
    }
    request.condition = ListRequest::conditionIndex(m_condition->currentText());
    if (request.condition < 0) {
        refuse(QStringLiteral("Please choose a condition from the list."),
               QStringLiteral("Invalid Entry"), m_condition);
        return std::nullopt;
    }
    // Only a number the program has read goes into the query, never the text.
    const std::optional<double> number = platform::parseNumber(request.resultText);
    if (!number || !std::isfinite(*number)) {
        refuse(QStringLiteral("The result must be a number."), QStringLiteral("Invalid Entry"),
               m_result);
        return std::nullopt;
    }
    request.number = *number;
    request.item = inputs()->itemId();
    request.itemName = inputs()->itemName();
    request.fromText = inputs()->fromText();
    request.toText = inputs()->toText();
    return request;
}

void dlgList::runAction()
{
    const std::optional<ListRequest> request = readRequest();
    if (!request)
        return;
    auto connection = std::make_unique<engine::Connection>();
    auto rows = std::make_unique<engine::Recordset>();
    {
        const platform::BusyPointer busy;
        connection->open(store::CodeConnection);
        rows->open(request->listSql(), connection.get());
    }
    if (rows->recordCount() == 0) {
        DateRangeInputs::showNoRecordsFound();
        return;
    }
    auto& registry = widgets::windows();
    const QString name = QStringLiteral("frmList");
    auto* list = qobject_cast<frmList*>(registry.load(name));
    if (!list)
        return;
    list->showList(*request, std::move(connection), std::move(rows));
    registry.show(name);
}

} // namespace vantor::overview
