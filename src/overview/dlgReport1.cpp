#include "dlgReport1.h"

#include "DateRangeInputs.h"

#include "engine/Connection.h"
#include "engine/Recordset.h"
#include "platform/Ui.h"
#include "report/DataReport.h"
#include "report/ReportCommands.h"
#include "report/ReportRun.h"
#include "store/ConnectionStrings.h"

namespace vantor::overview {

using report::dailyResultsShape;
using report::DataReport1;
using report::resultsQuery;
using report::runReport;

dlgReport1::dlgReport1(QWidget* parent)
    : DateRangeDialog({QStringLiteral("dlgReport1"), QStringLiteral("Daily Results Report"),
                       QStringLiteral("From date"), QStringLiteral("To date"), false,
                       QStringLiteral("View Report"), QStringLiteral("Preview Report")},
                      parent)
{
}

void dlgReport1::runAction()
{
    bool found = true;
    {
        const platform::BusyPointer busy;
        const QString query = resultsQuery(inputs()->fromDate(), inputs()->toDate());
        engine::Connection connection;
        connection.open(store::CodeConnection);
        engine::Recordset occasions;
        occasions.open(query, &connection);
        found = occasions.recordCount() > 0;
        if (found)
            runReport(QStringLiteral("Results_Grouping"), dailyResultsShape(query), DataReport1(),
                      QStringLiteral(" from ") + inputs()->fromText() + QStringLiteral(" to ") +
                          inputs()->toText());
    }
    if (!found)
        DateRangeInputs::showNoRecordsFound();
}

} // namespace vantor::overview
