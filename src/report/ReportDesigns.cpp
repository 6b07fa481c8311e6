// The designs of the program's two reports.

#include "DataReport.h"

#include "engine/Recordset.h"
#include "platform/Error.h"
#include "platform/Format.h"
#include "store/ReferenceRange.h"

namespace vantor::report {

namespace {

constexpr int Width = 9700; // fits the body of Letter and of A4

// The page header and footer both reports share.
void addPageSections(ReportDefinition& report, const QString& title)
{
    const QString header = QStringLiteral("PageHeader");
    // Room for a title of two lines: a filtered list's names its date range
    // on a line of its own.
    report.setHeight(header, 1000);
    ReportControl& label =
        report.addLabel(header, QStringLiteral("lblTitle"), title, QRect(0, 0, Width, 820));
    label.pointSize = 16;
    label.bold = true;
    label.wrap = true;
    label.alignment = Qt::AlignLeft | Qt::AlignTop;
    report.addLine(header, QStringLiteral("Line1"), 880, 0, Width);

    const QString footer = QStringLiteral("PageFooter");
    report.setHeight(footer, 520);
    report.addLine(footer, QStringLiteral("Line2"), 80, 0, Width);
    ReportControl& page =
        report.addLabel(footer, QStringLiteral("lblPage"), QStringLiteral("Page %p of %P"),
                        QRect(0, 160, 4000, 300));
    page.pointSize = 9;
    ReportControl& date = report.addLabel(footer, QStringLiteral("lblDate"), QStringLiteral("%D"),
                                          QRect(Width - 5000, 160, 5000, 300));
    date.pointSize = 9;
    date.alignment = Qt::AlignRight | Qt::AlignVCenter;
}

// A detail row's flag against its item's reference range. The ranges are read
// at the start of each run: they may have changed since the last one.
// itemField names the item (its name, or its id when byId), unitField the
// value's own unit.
ReportControl& addFlag(ReportDefinition& report, const QString& section, const QRect& rect,
                       const QString& itemField, bool byId, const QString& unitField)
{
    ReportControl& flag =
        report.addField(section, QStringLiteral("txtFlag"), QStringLiteral("Result"), rect);
    flag.bold = true;
    flag.alignment = Qt::AlignCenter;
    flag.computed = [itemField, byId, unitField]() -> ReportControl::RowText {
        QHash<qint64, store::ReferenceRange> ranges;
        try {
            ranges = store::readReferenceRanges();
        } catch (const Error&) {
            return [](const engine::Recordset&) { return QString(); }; // no flags then
        }
        const QHash<QString, store::ReferenceRange> byName = store::rangesByName(ranges);
        return [ranges, byName, itemField, byId, unitField](const engine::Recordset& row) {
            const QVariant item = row.value(itemField);
            const store::ReferenceRange range =
                byId ? ranges.value(item.toLongLong())
                     : byName.value(platform::valueText(item).toLower());
            return store::flagValue(range, row.value(QStringLiteral("Result")),
                                    platform::valueText(row.value(unitField)))
                .text;
        };
    };
    return flag;
}

} // namespace

ReportDefinition dailyResultsDefinition()
{
    ReportDefinition r(QStringLiteral("DataReport1"), QStringLiteral("Daily Results"),
                       QStringLiteral("Results_Grouping"),
                       {QStringLiteral("Results_Grouping"), QStringLiteral("Results"),
                        QStringLiteral("Periods"), QStringLiteral("Details")});
    r.setWidth(Width);
    addPageSections(r, QStringLiteral("Daily Results %i"));

    const QString date = QStringLiteral("Results_Grouping_Header");
    r.setHeight(date, 480);
    ReportControl& txtDate =
        r.addField(date, QStringLiteral("txtDate"), QStringLiteral("Date"),
                   QRect(0, 140, Width, 320), QStringLiteral("dddd, MMMM dd, yyyy"));
    txtDate.pointSize = 12;
    txtDate.bold = true;

    const QString period = QStringLiteral("Periods_Header");
    r.setHeight(period, 380);
    ReportControl& txtPeriod = r.addField(period, QStringLiteral("txtPeriod"),
                                          QStringLiteral("Period"), QRect(300, 60, 4000, 280));
    txtPeriod.bold = true;
    txtPeriod.italic = true;
    r.addLine(period, QStringLiteral("Line3"), 360, 300, Width);

    const QString detail = QStringLiteral("Details_Detail");
    r.setHeight(detail, 300);
    r.addField(detail, QStringLiteral("txtTest"), QStringLiteral("Test"),
               QRect(600, 30, 4200, 250));
    r.addField(detail, QStringLiteral("txtResult"), QStringLiteral("Result"),
               QRect(4900, 30, 1600, 250))
        .alignment = Qt::AlignRight | Qt::AlignVCenter;
    addFlag(r, detail, QRect(6550, 30, 300, 250), QStringLiteral("Test"), false,
            QStringLiteral("Units"));
    r.addField(detail, QStringLiteral("txtUnits"), QStringLiteral("Units"),
               QRect(6900, 30, 2800, 250));
    r.addLine(detail, QStringLiteral("Line4"), 290, 600, Width).faint = true;

    const QString dateFooter = QStringLiteral("Results_Grouping_Footer");
    r.setHeight(dateFooter, 200);
    r.addLine(dateFooter, QStringLiteral("Line5"), 120, 0, Width);
    return r;
}

ReportDefinition singleItemDefinition()
{
    ReportDefinition r(QStringLiteral("DataReport2"), QStringLiteral("Single Item Report"),
                       QStringLiteral("Test_Items_Grouping"),
                       {QStringLiteral("Test_Items_Grouping"), QStringLiteral("Test_Items"),
                        QStringLiteral("Items")});
    r.setWidth(Width);
    addPageSections(r, QStringLiteral("Single Item Records %i"));

    const QString item = QStringLiteral("Test_Items_Grouping_Header");
    r.setHeight(item, 600);
    ReportControl& label = r.addLabel(item, QStringLiteral("Label1"),
                                      QStringLiteral("Results for:"), QRect(0, 120, 1700, 320));
    label.pointSize = 12;
    label.bold = true;
    ReportControl& txtTest = r.addField(item, QStringLiteral("txtTest"), QStringLiteral("Test"),
                                        QRect(1750, 120, Width - 1750, 320));
    txtTest.pointSize = 12;
    txtTest.bold = true;
    r.addLine(item, QStringLiteral("Line3"), 540, 0, Width);

    const QString detail = QStringLiteral("Items_Detail");
    r.setHeight(detail, 300);
    r.addField(detail, QStringLiteral("txtDate"), QStringLiteral("Date"), QRect(300, 30, 3900, 250),
               QStringLiteral("dddd, MMMM dd, yyyy"));
    r.addField(detail, QStringLiteral("txtResult"), QStringLiteral("Result"),
               QRect(4300, 30, 1500, 250))
        .alignment = Qt::AlignRight | Qt::AlignVCenter;
    addFlag(r, detail, QRect(5850, 30, 300, 250), QStringLiteral("Test"), true,
            QStringLiteral("Unit"));
    r.addField(detail, QStringLiteral("txtUnit"), QStringLiteral("Unit"),
               QRect(6200, 30, 1450, 250));
    r.addField(detail, QStringLiteral("txtPeriod"), QStringLiteral("Period"),
               QRect(7700, 30, Width - 7700, 250));
    r.addLine(detail, QStringLiteral("Line4"), 290, 300, Width).faint = true;

    const QString none = QStringLiteral("Items_NoDetail");
    r.setHeight(none, 360);
    r.addLabel(none, QStringLiteral("lblNoValues"), QStringLiteral("No values in this date range."),
               QRect(300, 60, Width - 300, 250))
        .italic = true;
    return r;
}

} // namespace vantor::report
