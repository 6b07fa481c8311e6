#include "DataReport.h"

#include "BandBuilder.h"
#include "DataEnvironment.h"
#include "ReportPreview.h"

#include "platform/Error.h"
#include "platform/Ui.h"
#include "widgets/WindowRegistry.h"

namespace vantor::report {

DataReport::DataReport(ReportDefinition definition) : m_definition(std::move(definition)) {}

ReportPreview* DataReport::show()
{
    engine::Recordset& rows = DataEnvironment1().command(m_definition.dataMember());
    if (!rows.isOpen())
        throw Error(
            Error::DatabaseError,
            QStringLiteral("The data of the report %1 is not open.").arg(m_definition.caption()));
    BandBuilder builder(m_definition);
    auto document = std::make_shared<const ReportDocument>(m_definition, builder.build(rows),
                                                           m_title, platform::ui().today());

    auto& registry = widgets::windows();
    if (!registry.isRegistered(name()))
        registry.registerWindow(name(), widgets::WindowRegistry::Kind::Own,
                                [] { return new ReportPreview; });
    auto* preview = qobject_cast<ReportPreview*>(registry.load(name()));
    if (!preview)
        throw Error(Error::InvalidProcedureCall,
                    QStringLiteral("The preview window of %1 cannot be opened.")
                        .arg(m_definition.caption()));
    m_document = document;
    preview->setDocument(document);
    registry.show(name());
    return preview;
}

DataReport& DataReport1()
{
    static DataReport report(dailyResultsDefinition());
    return report;
}

DataReport& DataReport2()
{
    static DataReport report(singleItemDefinition());
    return report;
}

} // namespace vantor::report
