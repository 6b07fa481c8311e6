// The inputs every date-range window shares: lists, presets, the checks.

#include "OverviewFixture.h"

#include "overview/DateRangeInputs.h"
#include "overview/dlgExport.h"
#include "overview/frmStats.h"
#include "platform/Error.h"

#include <QPushButton>

using namespace vantor;
using namespace vantor::overview;
using platform::Icon;

namespace {

QWidget* openWindow(const QString& name)
{
    QWidget* window =
        name == QLatin1String("frmStats") ? static_cast<QWidget*>(new frmStats) : new dlgExport;
    window->show();
    return window;
}

QStringList listed(const widgets::DataCombo* list)
{
    QStringList texts;
    for (int i = 0; i < list->count(); ++i)
        texts << list->itemText(i);
    return texts;
}

} // namespace

class TestDateRange : public QObject
{
    Q_OBJECT

    overviewtest::Session m_s;
    platform::RecordingUi& m_ui = m_s.ui;

private slots:
    void initTestCase() { m_s.start(); }
    void init() { m_s.reset(); }
    void cleanup() { QVERIFY(m_s.finish()); }

    void windowsPresetOldestAndNewest_data()
    {
        QTest::addColumn<QString>("window");
        // clang-format off
        QTest::newRow("frmStats") << QStringLiteral("frmStats");
        QTest::newRow("dlgExport") << QStringLiteral("dlgExport");
        // clang-format on
    }
    void windowsPresetOldestAndNewest()
    {
        QFETCH(QString, window);
        QWidget* w = openWindow(window);
        auto* from = overviewtest::child<widgets::DataCombo>(w, "DataCombo1");
        auto* to = overviewtest::child<widgets::DataCombo>(w, "DataCombo2");
        // Every date with an occasion, also those without values, oldest first.
        const QStringList dates{QStringLiteral("05-Mar-2004"), QStringLiteral("06-Mar-2004"),
                                QStringLiteral("08-Mar-2004"), QStringLiteral("09-Mar-2004"),
                                QStringLiteral("01-Apr-2004")};
        QCOMPARE(listed(from), dates);
        QCOMPARE(listed(to), dates);
        QCOMPARE(from->currentText(), dates.first());
        QCOMPARE(to->currentText(), dates.last());
        QVERIFY(m_ui.messages().isEmpty());
    }

    void emptyDatabaseReportsMissingDate_data()
    {
        QTest::addColumn<QString>("window");
        QTest::addColumn<QString>("button");
        QTest::addColumn<bool>("fileMissing");
        // clang-format off
        QTest::newRow("frmStats") << "frmStats" << "cmdOK1" << false;
        QTest::newRow("dlgExport") << "dlgExport" << "cmdOK" << false;
        // The missing file is reported once; the dialog opens empty.
        QTest::newRow("no database") << "dlgExport" << "cmdOK" << true;
        // clang-format on
    }
    void emptyDatabaseReportsMissingDate()
    {
        QFETCH(QString, window);
        QFETCH(QString, button);
        QFETCH(bool, fileMissing);
        if (fileMissing)
            QFile::remove(QStringLiteral("vantor.mdb"));
        else
            overviewtest::makeEmptyDatabase();
        QWidget* w = openWindow(window);
        QCOMPARE(overviewtest::child<widgets::DataCombo>(w, "DataCombo1")->count(), 0);
        QCOMPARE(overviewtest::child<widgets::DataCombo>(w, "DataCombo2")->count(), 0);
        QCOMPARE(m_ui.messages().size(), fileMissing ? 1 : 0);
        if (fileMissing) {
            QCOMPARE(m_ui.messages().first().icon, Icon::Critical);
            QVERIFY(m_ui.messages().first().text.contains(QStringLiteral("vantor.mdb")));
            m_ui.clear();
        }
        QTest::mouseClick(w->findChild<QPushButton*>(button), Qt::LeftButton);
        QCOMPARE(overviewtest::onlyMessage(m_ui),
                 overviewtest::shown(1, QStringLiteral("Missing Date"), Icon::Exclamation,
                                     QStringLiteral("Please make sure you have selected both a "
                                                    "From date and a To date.")));
    }

    void checkDate_data()
    {
        QTest::addColumn<QString>("from");
        QTest::addColumn<QString>("to");
        QTest::addColumn<bool>("inOrder");
        // clang-format off
        QTest::newRow("oldest to newest") << "05-Mar-2004" << "01-Apr-2004" << true;
        QTest::newRow("one day") << "06-Mar-2004" << "06-Mar-2004" << true;
        QTest::newRow("reversed by a day") << "06-Mar-2004" << "05-Mar-2004" << false;
        // Compared as dates, not as the texts, which sort the other way.
        QTest::newRow("reversed across months") << "01-Apr-2004" << "09-Mar-2004" << false;
        // clang-format on
    }
    void checkDate()
    {
        QFETCH(QString, from);
        QFETCH(QString, to);
        QFETCH(bool, inOrder);
        DateRangeInputs inputs({QStringLiteral("From date"), QStringLiteral("to"), false});
        inputs.load(QStringLiteral("Select Dates"));
        inputs.fromList()->setBoundText(from);
        inputs.toList()->setBoundText(to);
        QCOMPARE(inputs.Check_Date(), inOrder);
        QCOMPARE(inputs.fromList()->currentText(), from);
        QCOMPARE(inputs.toList()->currentText(), to);
        QCOMPARE(overviewtest::onlyMessage(m_ui),
                 inOrder ? QStringLiteral("0 messages")
                         : overviewtest::shown(
                               1, QStringLiteral("Invalid Entry"), Icon::Exclamation,
                               QStringLiteral("The From date can't be later than the To date.")));
    }

    void itemPreset()
    {
        DateRangeInputs inputs({QStringLiteral("From date"), QStringLiteral("to"), true});
        inputs.load(QStringLiteral("Select Dates"));
        // Only items with values, by name; the first item has none: nothing chosen.
        QCOMPARE(listed(inputs.itemList()).last(), QStringLiteral("Zinc"));
        QCOMPARE(inputs.itemName(), QString());
        QVERIFY_THROWS_EXCEPTION(Error, inputs.itemId());
        // An id beyond 16 bits is carried whole.
        overviewtest::execute(
            "INSERT INTO Tests (ID, Test, Units) VALUES (70000, 'Aaa', 'u');"
            "INSERT INTO Details (ID, Test, Result, Unit) VALUES (1, 70000, 1, 'u');");
        inputs.load(QStringLiteral("Select Dates"));
        QCOMPARE(inputs.itemName(), QStringLiteral("Aaa"));
        QCOMPARE(inputs.itemId(), 70000);
        QVERIFY(m_ui.messages().isEmpty());
    }
};

QTEST_MAIN(TestDateRange)
#include "tst_daterange.moc"
