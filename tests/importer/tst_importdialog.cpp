// The import dialog as a user works it: a file name typed in, the columns
// page, the preview with its bad lines, Import, and Cancel in the middle of
// a long import. The database is read through the engine afterwards.

#include "ImportTestSupport.h"

#include "importer/ImportWindows.h"
#include "importer/dlgImport.h"
#include "platform/RecordingUi.h"
#include "store/Database.h"
#include "widgets/WindowRegistry.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPointer>
#include <QProgressDialog>
#include <QPushButton>
#include <QRadioButton>
#include <QTableWidget>
#include <QTest>
#include <QTimer>

using namespace vantor;
using namespace vantor::importer;
using namespace Qt::Literals::StringLiterals;
using importtest::allValues;
using importtest::count;
using platform::Icon;

class tst_ImportDialog : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();
    void longFileWithBadLines();
    void wideFileMarkedByTheUser();
    void exportNeedsNoQuestions();
    void cancelWritesNothing();

private:
    template <typename T> T* child(const char* name)
    {
        T* widget = m_dialog->findChild<T*>(QLatin1String(name));
        if (!widget)
            qFatal("no control %s", name);
        return widget;
    }
    void open(const QString& file)
    {
        m_dialog = qobject_cast<dlgImport*>(widgets::windows().show(u"dlgImport"_s));
        QVERIFY(m_dialog);
        QVERIFY(QTest::qWaitForWindowExposed(m_dialog));
        QTest::keyClicks(child<QLineEdit>("txtFile"), file);
    }
    void press(QWizard::WizardButton which)
    {
        QTest::mouseClick(m_dialog->button(which), Qt::LeftButton);
    }
    // Ticks a check box from the keyboard, as a user tabbing to it would.
    void tick(const char* name)
    {
        auto* box = child<QCheckBox>(name);
        box->setFocus();
        QTest::keyClick(box, Qt::Key_Space);
    }
    void screenshot(const QString& name) { QVERIFY(m_dialog->grab().save(name + u".png"_s)); }

    platform::RecordingUi m_ui;
    QPointer<dlgImport> m_dialog;
};

void tst_ImportDialog::initTestCase()
{
    platform::setUi(&m_ui);
    registerImportWindows();
}

void tst_ImportDialog::init()
{
    m_ui.clear();
    QFile::remove(u"vantor.mdb"_s);
    store::createDatabase(u"vantor.mdb"_s);
    importtest::writeFile(u"long.csv"_s, importtest::longCsv());
    importtest::writeFile(u"wide.csv"_s, importtest::wideCsv());
}

void tst_ImportDialog::cleanup()
{
    if (m_dialog)
        m_dialog->close();
    QTRY_VERIFY(!widgets::windows().isLoaded(u"dlgImport"_s));
    QVERIFY(!m_ui.isBusy());
}

void tst_ImportDialog::longFileWithBadLines()
{
    open(u"long.csv"_s);
    screenshot(u"import-file"_s);
    press(QWizard::NextButton);
    QCOMPARE(m_dialog->currentId(), int(dlgImport::ColumnsPage));
    // Guessed from the heading and the data, as the user sees it.
    QCOMPARE(child<QComboBox>("cboDelimiter")->currentText(), u"Comma"_s);
    QVERIFY(child<QCheckBox>("chkHeading")->isChecked());
    QCOMPARE(child<QComboBox>("cboDate")->currentText(), u"1: Date"_s);
    QCOMPARE(child<QComboBox>("cboTest")->currentText(), u"3: Test"_s);
    QCOMPARE(child<QComboBox>("cboUnit")->currentText(), u"5: Unit"_s);
    QCOMPARE(child<QComboBox>("cboDateForm")->currentText(), u"day/month/year"_s);
    QCOMPARE(child<QLabel>("lblDateGuess")->text(), u"guessed from the dates"_s);
    QCOMPARE(child<QTableWidget>("grdSample")->item(0, 2)->text(), u"Glucose"_s);
    screenshot(u"import-columns"_s);

    press(QWizard::NextButton);
    QCOMPARE(m_dialog->currentId(), int(dlgImport::PreviewPage));
    const QString summary = child<QLabel>("lblSummary")->text();
    QVERIFY2(summary.contains(u"Occasions to add: 3\nValues to add: 4\n"_s), qPrintable(summary));
    QVERIFY(summary.contains(u"New test items: Glucose, HbA1c, Creatinine"_s));
    auto* bad = child<QTableWidget>("grdBadLines");
    QCOMPARE(bad->rowCount(), 3);
    QCOMPARE(bad->item(1, 0)->text() + u' ' + bad->item(1, 1)->text(),
             u"5 \"31/02/2024\" is not a date (day/month/year)"_s);
    screenshot(u"import-preview"_s);

    // Import with bad lines and no leave to skip them: a warning, nothing written.
    press(QWizard::FinishButton);
    QCOMPARE(m_ui.messages().size(), 1);
    QCOMPARE(m_ui.messages()[0].icon, Icon::Exclamation);
    QCOMPARE(m_ui.messages()[0].text,
             u"3 lines cannot be read. Nothing was written; tick \"Skip the lines that cannot be "
             "read\" to import the others."_s);
    QCOMPARE(m_ui.messages()[0].title, u"Import Data"_s);
    QCOMPARE(count(u"vantor.mdb"_s, u"Details"_s), 0);
    QVERIFY(m_dialog);

    tick("chkSkipBad");
    press(QWizard::FinishButton);
    QCOMPARE(m_ui.messages().size(), 2);
    QCOMPARE(m_ui.messages()[1].icon, Icon::Information);
    QCOMPARE(m_ui.messages()[1].text,
             u"Added 3 occasions and 4 values. New in the lists: 3 test items and 2 periods. "
             "3 lines that cannot be read were skipped."_s);
    QCOMPARE(allValues(u"vantor.mdb"_s).size(), 4);
    QTRY_VERIFY(!m_dialog);

    // The same file a second time adds nothing.
    open(u"long.csv"_s);
    press(QWizard::NextButton);
    press(QWizard::NextButton);
    QVERIFY(child<QLabel>("lblSummary")->text().contains(u"Values already stored, skipped: 4"_s));
    tick("chkSkipBad");
    press(QWizard::FinishButton);
    QCOMPARE(m_ui.messages().last().text.left(30), u"Added 0 occasions and 0 values"_s);
    QCOMPARE(count(u"vantor.mdb"_s, u"Details"_s), 4);
}

void tst_ImportDialog::wideFileMarkedByTheUser()
{
    open(u"wide.csv"_s);
    press(QWizard::NextButton);
    QVERIFY(child<QRadioButton>("optWide")->isChecked());
    QCOMPARE(child<QComboBox>("cboDecimal")->currentText(), u"Comma (5,4)"_s);
    // The new database has no periods: the user names one, and leaves Cholesterol out.
    auto* period = child<QComboBox>("cboDefaultPeriod");
    QCOMPARE(period->currentText(), QString());
    press(QWizard::NextButton);
    QCOMPARE(m_ui.messages().last().text, u"Choose the period for lines without one."_s);
    QCOMPARE(m_dialog->currentId(), int(dlgImport::ColumnsPage));
    QTest::keyClicks(period, u"Fasting"_s);
    auto* tests = child<QListWidget>("lstTestColumns");
    tests->setFocus();
    tests->setCurrentRow(3);
    QTest::keyClick(tests, Qt::Key_Space);
    QCOMPARE(tests->item(3)->checkState(), Qt::Unchecked);
    screenshot(u"import-columns-wide"_s);

    press(QWizard::NextButton);
    QCOMPARE(child<QTableWidget>("grdBadLines")->rowCount(), 2);
    tick("chkSkipBad");
    press(QWizard::FinishButton);
    QCOMPARE(allValues(u"vantor.mdb"_s),
             (QStringList{u"2024-01-13|Fasting|Glucose|5.4|NULL|fasting"_s,
                          u"2024-01-13|Fasting|HbA1c|6.1|NULL|fasting"_s,
                          u"2024-01-20|Fasting|Glucose|5.1|NULL|NULL"_s,
                          u"2024-02-10|Fasting|Glucose|5.6|NULL|NULL"_s,
                          u"2024-02-10|Fasting|HbA1c|5.9|NULL|NULL"_s}));
}

void tst_ImportDialog::exportNeedsNoQuestions()
{
    importtest::writeFile(u"export.txt"_s,
                          "Date\tPeriod\tTest\tResult\tUnit\tRemarks\r\n"
                          "3/5/2004\tMorning\tGlucose\t95.5\tmg/dL\t\"fasting\"\r\n"
                          "3/5/2004\tEvening\tGlucose\t1E+20\tmg/dL\t\r\n");
    open(u"export.txt"_s);
    press(QWizard::NextButton);
    QCOMPARE(m_dialog->currentId(), int(dlgImport::PreviewPage));
    // Without leave to add test items and periods, their lines cannot be read.
    tick("chkCreateNew");
    auto* bad = child<QTableWidget>("grdBadLines");
    QCOMPARE(bad->rowCount(), 2);
    QCOMPARE(bad->item(0, 1)->text(), u"the period \"Morning\" is not in the list"_s);
    tick("chkCreateNew");
    QCOMPARE(bad->rowCount(), 0);
    press(QWizard::FinishButton);
    // No quoting in the export: the quotes belong to the remark.
    QCOMPARE(allValues(u"vantor.mdb"_s),
             (QStringList{u"2004-03-05|Evening|Glucose|1e+20|mg/dL|NULL"_s,
                          u"2004-03-05|Morning|Glucose|95.5|mg/dL|\"fasting\""_s}));
}

void tst_ImportDialog::cancelWritesNothing()
{
    QByteArray bytes = "Date\tPeriod\tTest\tResult\n";
    for (int i = 0; i < 30000; ++i)
        bytes += QDate(2000, 1, 1).addDays(i / 3).toString(Qt::ISODate).toLatin1() +
                 "\tMorning\tT" + QByteArray::number(i % 3) + '\t' + QByteArray::number(i) + '\n';
    importtest::writeFile(u"large.txt"_s, bytes);
    open(u"large.txt"_s);
    m_dialog->setProgressDelay(0);
    press(QWizard::NextButton);
    press(QWizard::NextButton);
    QCOMPARE(m_dialog->currentId(), int(dlgImport::PreviewPage));

    // Cancel as soon as the progress window of the writing shows.
    bool pressed = false;
    QTimer poll;
    connect(&poll, &QTimer::timeout, this, [&] {
        auto* progress = m_dialog->findChild<QProgressDialog*>(u"prgImport"_s);
        if (pressed || !progress || !progress->isVisible())
            return;
        pressed = true;
        QTest::mouseClick(progress->findChild<QPushButton*>(), Qt::LeftButton);
    });
    poll.start(0);
    press(QWizard::FinishButton);
    poll.stop();
    QVERIFY(pressed);
    QCOMPARE(m_ui.messages().last().text, u"The import was cancelled; nothing was written."_s);
    for (const QString& table : {u"Periods"_s, u"Tests"_s, u"Results"_s, u"Details"_s})
        QCOMPARE(count(u"vantor.mdb"_s, table), 0);
    QCOMPARE(m_dialog->currentId(), int(dlgImport::PreviewPage));
}

QTEST_MAIN(tst_ImportDialog)
#include "tst_importdialog.moc"
