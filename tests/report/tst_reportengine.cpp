// The banded engine without a database: page breaks and the codes of labels.

#include "platform/Format.h"
#include "report/ReportDocument.h"
#include "report/ReportLayout.h"

#include <QTest>

using namespace vantor;
using namespace vantor::report;
using Kind = ReportSection::Kind;

namespace {

// Two group levels over the rows: a = outer header, b = inner header,
// d = row, f = inner footer, g = outer footer.
ReportDefinition nestedDefinition(int rowHeight)
{
    ReportDefinition d(QStringLiteral("Test"), QStringLiteral("Test"), QStringLiteral("Cmd"),
                       {QStringLiteral("A"), QStringLiteral("B"), QStringLiteral("Rows")});
    d.setHeight(QStringLiteral("PageHeader"), 1000);
    d.setHeight(QStringLiteral("PageFooter"), 1000);
    d.setHeight(QStringLiteral("A_Header"), 2000);
    d.setHeight(QStringLiteral("B_Header"), 1000);
    d.setHeight(QStringLiteral("Rows_Detail"), rowHeight);
    d.setHeight(QStringLiteral("B_Footer"), 500);
    d.setHeight(QStringLiteral("A_Footer"), 500);
    return d;
}

// Room for 10000 twips of bands between page header and footer.
PageGeometry smallPage()
{
    PageGeometry g;
    g.paper = QSize(8000, 12000);
    g.margins = QMargins(0, 0, 0, 0);
    return g;
}

std::vector<Band> bandsOf(const ReportDefinition& d, const QString& letters)
{
    std::vector<Band> bands;
    for (const QChar c : letters) {
        Band b;
        switch (c.unicode()) {
        case u'a':
            b.section = d.sectionIndex(Kind::GroupHeader, 0);
            break;
        case u'b':
            b.section = d.sectionIndex(Kind::GroupHeader, 1);
            break;
        case u'd':
            b.section = d.sectionIndex(Kind::Detail, 2);
            break;
        case u'f':
            b.section = d.sectionIndex(Kind::GroupFooter, 1);
            break;
        default:
            b.section = d.sectionIndex(Kind::GroupFooter, 0);
            break;
        }
        bands.push_back(b);
    }
    return bands;
}

} // namespace

class TestReportEngine : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void pageBreaks_data();
    void pageBreaks();
    void bandsFollowEachOtherDownThePage();
    void labelCodes_data();
    void labelCodes();
};

void TestReportEngine::initTestCase()
{
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
}

void TestReportEngine::pageBreaks_data()
{
    QTest::addColumn<int>("rowHeight");
    QTest::addColumn<QString>("bands");
    // The bands of each page, pages split by |; a heading repeated atop a
    // page its group runs on to in capitals.
    QTest::addColumn<QString>("pages");

    QTest::newRow("one page") << 1000 << QStringLiteral("abddfg") << QStringLiteral("abddfg");
    QTest::newRow("a full page breaks before the next band")
        << 1000 << QStringLiteral("abdddddddfg") << QStringLiteral("abddddddd|fg");
    QTest::newRow("a heading goes with its first row")
        << 1000 << QStringLiteral("abddddddfbdf") << QStringLiteral("abddddddf|Abdf");
    QTest::newRow("a group running on repeats its headings")
        << 1000 << QStringLiteral("abdddddddddfg") << QStringLiteral("abddddddd|ABddfg");
    QTest::newRow("a run of headings moves as one")
        << 1000 << QStringLiteral("abdddfgabdfg") << QStringLiteral("abdddfg|abdfg");
    QTest::newRow("headings that fit with their row stay")
        << 1000 << QStringLiteral("abddfgabdfg") << QStringLiteral("abddfgabd|fg");
    QTest::newRow("a row taller than a page stands alone")
        << 12000 << QStringLiteral("abddf") << QStringLiteral("ab|d|d|f");
    QTest::newRow("no rows: one empty page") << 1000 << QString() << QString();
}

void TestReportEngine::pageBreaks()
{
    QFETCH(int, rowHeight);
    QFETCH(QString, bands);
    QFETCH(QString, pages);
    const ReportDefinition d = nestedDefinition(rowHeight);
    const std::vector<ReportPage> laid = ReportLayout::paginate(d, bandsOf(d, bands), smallPage());
    QStringList got;
    for (const ReportPage& page : laid) {
        QString letters;
        for (const PlacedBand& placed : page.bands)
            letters += placed.continued ? bands.at(placed.band).toUpper() : bands.at(placed.band);
        got << letters;
    }
    QCOMPARE(got.join(u'|'), pages);

    // The same pages when the bands come one at a time, as a long report is
    // laid out while it is read: a heading waits for the band after it.
    ReportDocument growing(d, QString(), QDate(2024, 6, 14), smallPage());
    const std::vector<Band> all = bandsOf(d, bands);
    for (size_t i = 0; i < all.size(); ++i) {
        QVERIFY(!growing.isComplete());
        // The page count is not known until the last band is placed.
        QCOMPARE(growing.expandLabel(QStringLiteral("Page %p of %P"), 0),
                 QStringLiteral("Page 1 of ..."));
        growing.append({all[i]}, i + 1 == all.size());
    }
    if (all.empty())
        growing.append({}, true);
    QVERIFY(growing.isComplete());
    QStringList grown;
    for (const ReportPage& page : growing.pages()) {
        QString letters;
        for (const PlacedBand& placed : page.bands)
            letters += placed.continued ? bands.at(placed.band).toUpper() : bands.at(placed.band);
        grown << letters;
    }
    QCOMPARE(grown.join(u'|'), pages);
    QCOMPARE(growing.expandLabel(QStringLiteral("%P"), 0), QString::number(growing.pageCount()));
}

void TestReportEngine::bandsFollowEachOtherDownThePage()
{
    const ReportDefinition d = nestedDefinition(1000);
    const auto laid =
        ReportLayout::paginate(d, bandsOf(d, QStringLiteral("abdddddddfg")), smallPage());
    QCOMPARE(laid.size(), size_t(2));
    QList<int> tops;
    for (const ReportPage& page : laid)
        for (const PlacedBand& placed : page.bands)
            tops << placed.top;
    // Below the page header on each page; each band where the last one ended.
    QCOMPARE(tops, (QList<int>{1000, 3000, 4000, 5000, 6000, 7000, 8000, 9000, 10000, 1000, 1500}));
}

void TestReportEngine::labelCodes_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("page");
    QTest::addColumn<QString>("expected");
    QTest::addColumn<QString>("title");

    QTest::newRow("page of pages")
        << QStringLiteral("Page %p of %P") << 1 << QStringLiteral("Page 2 of 3") << QString();
    QTest::newRow("title") << QStringLiteral("Daily Results %i") << 0
                           << QStringLiteral("Daily Results  from A to B")
                           << QStringLiteral(" from A to B");
    QTest::newRow("today long") << QStringLiteral("%D") << 0
                                << QStringLiteral("Friday, June 14, 2024") << QString();
    QTest::newRow("today short") << QStringLiteral("on %d") << 0 << QStringLiteral("on 6/14/2024")
                                 << QString();
    QTest::newRow("percent sign") << QStringLiteral("100%% of %P") << 2
                                  << QStringLiteral("100% of 3") << QString();
    QTest::newRow("no code") << QStringLiteral("50% off, 7%") << 0 << QStringLiteral("50% off, 7%")
                             << QString();
    // A title is printed as it stands, codes and all.
    QTest::newRow("title holding a code")
        << QStringLiteral("%i of %P") << 0 << QStringLiteral(" for 50%P of 3")
        << QStringLiteral(" for 50%P");
}

void TestReportEngine::labelCodes()
{
    QFETCH(QString, text);
    QFETCH(int, page);
    QFETCH(QString, expected);
    QFETCH(QString, title);
    const ReportDefinition d = nestedDefinition(1000);
    const ReportDocument document(d, bandsOf(d, QString(25, u'd')), title, QDate(2024, 6, 14),
                                  smallPage());
    QCOMPARE(document.pageCount(), 3);
    QCOMPARE(document.expandLabel(text, page), expected);
}

QTEST_MAIN(TestReportEngine)
#include "tst_reportengine.moc"
