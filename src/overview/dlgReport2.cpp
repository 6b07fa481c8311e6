#include "dlgReport2.h"

#include "DateRangeInputs.h"

#include "engine/Connection.h"
#include "engine/Recordset.h"
#include "platform/Ui.h"
#include "report/DataReport.h"
#include "report/ReportCommands.h"
#include "report/ReportRun.h"
#include "store/ConnectionStrings.h"

namespace vantor::overview {

using report::DataReport2;
using report::itemValuesQuery;
using report::runReport;
using report::singleItemShape;
using report::testItemQuery;

dlgReport2::dlgReport2(QWidget* parent)
    : DateRangeDialog({QStringLiteral("dlgReport2"), QStringLiteral("Single Item Report"),
                       QStringLiteral("From date"), QStringLiteral("to"), true,
                       QStringLiteral("View Report"), QStringLiteral("Preview Report")},
                      parent)
{
}

void dlgReport2::runAction()
{
    bool found = true;
    {
        const platform::BusyPointer busy;
        const QString items = itemValuesQuery(inputs()->fromDate(), inputs()->toDate());
        const qint32 item = inputs()->itemId();
        engine::Connection connection;
        connection.open(store::CodeConnection);
        engine::Recordset values;
        values.open(items, &connection);
        // Any item's values let the report run: an item without values of
        // its own in the span shows its heading and no rows.
        found = values.recordCount() > 0;
        if (found)
            runReport(QStringLiteral("Test_Items_Grouping"),
                      singleItemShape(testItemQuery(item), items), DataReport2(),
                      QStringLiteral(" for ") + inputs()->itemName());
    }
    if (!found)
        DateRangeInputs::showNoRecordsFound();
}

} // namespace vantor::overview
