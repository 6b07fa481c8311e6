// The export dialog and the file it writes, compared byte by byte with
// golden files.

#include "OverviewFixture.h"

#include "overview/dlgExport.h"

#include "store/Database.h"

#include <QApplication>
#include <QPointer>
#include <QLineEdit>
#include <QProgressDialog>
#include <QPushButton>
#include <QTimer>

#include <unistd.h>

using namespace vantor;
using namespace vantor::overview;
using overviewtest::readFile;
using platform::Icon;
using namespace Qt::StringLiterals;

class TestExport : public QObject
{
    Q_OBJECT

    overviewtest::Session m_s;
    platform::RecordingUi& m_ui = m_s.ui;
    dlgExport* m_dialog = nullptr;

    void exportSpan(const QString& from, const QString& to, const QString& file)
    {
        m_dialog = new dlgExport;
        m_dialog->show();
        m_dialog->inputs()->fromList()->setBoundText(from);
        m_dialog->inputs()->toList()->setBoundText(to);
        auto* name = overviewtest::child<QLineEdit>(m_dialog, "sFile");
        name->clear();
        QTest::keyClicks(name, file);
        QTest::mouseClick(overviewtest::child<QPushButton>(m_dialog, "cmdOK"), Qt::LeftButton);
    }

private slots:
    void initTestCase() { m_s.start(); }
    void init()
    {
        m_s.reset();
        QDir(QStringLiteral("out")).removeRecursively();
        QDir().mkdir(QStringLiteral("out"));
    }
    void cleanup() { QVERIFY(m_s.finish()); }

    void writesTheSpan_data()
    {
        QTest::addColumn<QString>("from");
        QTest::addColumn<QString>("to");
        QTest::addColumn<QByteArray>("before"); // the file's content before the export
        QTest::addColumn<QString>("expected");
        // clang-format off
        // Occasions without values or without a period are left out; a value
        // of a deleted item comes first, without a name; the remarks' TAB and
        // line break become spaces; UTF-8 text.
        QTest::newRow("all dates") << "05-Mar-2004"
                                   << "01-Apr-2004" << QByteArray() << "all-dates.txt";
        QTest::newRow("one day") << "06-Mar-2004" << "06-Mar-2004" << QByteArray() << "one-day.txt";
        // Periods in id order, not name order; a typed name of an existing
        // file is replaced after a Yes.
        QTest::newRow("replaces after asking") << "05-Mar-2004"
            << "05-Mar-2004" << QByteArray(100000, 'x') << "first-day.txt";
        // clang-format on
    }
    void writesTheSpan()
    {
        QFETCH(QString, from);
        QFETCH(QString, to);
        QFETCH(QByteArray, before);
        QFETCH(QString, expected);
        const QString target = QDir::current().absoluteFilePath(QStringLiteral("out/export.txt"));
        if (!before.isEmpty()) {
            overviewtest::writeFile(target, before);
            m_ui.pushAnswer(platform::Answer::Yes);
        }
        exportSpan(from, to, target);

        QCOMPARE(readFile(target), readFile(QStringLiteral(VANTOR_OVERVIEW_GOLDEN "/") + expected));
        if (!before.isEmpty()) {
            const auto question = m_ui.takeFirstMessage();
            QCOMPARE(question.text, u"The file \"%1\" already exists.\nDo you want to replace it?"_s
                                        .arg(QDir::toNativeSeparators(target)));
            QCOMPARE(question.buttons, platform::Buttons::YesNo);
            QCOMPARE(question.title, u"Export Data"_s);
        } else {
            // A new file gets the database's permissions, not the umask's.
            QCOMPARE(QFile::permissions(target), QFile::permissions(u"vantor.mdb"_s));
        }
        QCOMPARE(overviewtest::onlyMessage(m_ui),
                 overviewtest::shown(1, QStringLiteral("Export Data"), Icon::Information,
                                     QStringLiteral("Export completed successfully.")));
        QCOMPARE(QDir(QStringLiteral("out")).entryList(QDir::Files), QStringList{u"export.txt"_s});
        // The dialog stays, inputs unchanged.
        QVERIFY(m_dialog->isVisible());
        QCOMPARE(m_dialog->inputs()->fromList()->currentText(), from);
    }

    void failuresLeaveTheFileAlone_data()
    {
        QTest::addColumn<QString>("from");
        QTest::addColumn<QString>("to");
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("inText");
        // clang-format off
        QTest::newRow("span without values") << "08-Mar-2004" << "08-Mar-2004"
            << "out/export.txt" << "Export Error" << "There are no test values between these dates.";
        QTest::newRow("folder missing") << "05-Mar-2004" << "01-Apr-2004"
            << "out/none/export.txt" << "Export Error" << "export.txt";
        QTest::newRow("no file name") << "05-Mar-2004" << "01-Apr-2004"
            << "" << "Export Error" << "no file name";
        QTest::newRow("reversed dates") << "01-Apr-2004" << "05-Mar-2004" << "out/export.txt"
            << "Invalid Entry" << "The From date can't be later than the To date.";
        // clang-format on
    }
    void failuresLeaveTheFileAlone()
    {
        QFETCH(QString, from);
        QFETCH(QString, to);
        QFETCH(QString, file);
        QFETCH(QString, title);
        QFETCH(QString, inText);
        const QByteArray old("old contents\r\n");
        overviewtest::writeFile(QStringLiteral("out/export.txt"), old);
        exportSpan(from, to, file);

        QCOMPARE(m_ui.messages().size(), 1);
        const auto& m = m_ui.messages().first();
        QVERIFY2(m.text.contains(inText), qPrintable(m.text));
        QCOMPARE(m.title, title);
        QCOMPARE(m.icon, title == u"Export Error"_s ? Icon::Critical : Icon::Exclamation);
        QCOMPARE(m.beepsBefore, 1);
        QCOMPARE(readFile(QStringLiteral("out/export.txt")), old);
        QCOMPARE(QDir(QStringLiteral("out")).entryList(QDir::Files), QStringList{u"export.txt"_s});
        QVERIFY(m_dialog->isVisible());
    }

    // Whatever way the name leads to the database or its journal, nothing is
    // written and the message says why; an existing file is kept after a No.
    void neverWritesOverTheDatabase_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("inText"); // empty: the user is asked and says No
        const QString database = u"it is the results database in use"_s;
        QTest::newRow("relative name") << u"vantor.mdb"_s << database;
        QTest::newRow("absolute path") << QDir::current().absoluteFilePath(u"vantor.mdb"_s)
                                       << database;
        QTest::newRow("through a link") << u"out/link.txt"_s << database;
        QTest::newRow("dotted path") << u"out/../vantor.mdb"_s << database;
        QTest::newRow("hard link") << u"out/hard.txt"_s << database;
        QTest::newRow("journal") << u"vantor.mdb-journal"_s << u"the journal of the results"_s;
        QTest::newRow("other file, No") << u"out/keep.txt"_s << QString();
    }
    void neverWritesOverTheDatabase()
    {
        QFETCH(QString, file);
        QFETCH(QString, inText);
        QVERIFY(QFile::link(QDir::current().absoluteFilePath(u"vantor.mdb"_s), u"out/link.txt"_s));
        QVERIFY(::link("vantor.mdb", "out/hard.txt") == 0);
        overviewtest::writeFile(u"out/keep.txt"_s, "kept");
        const QByteArray before = readFile(u"vantor.mdb"_s);
        if (inText.isEmpty())
            m_ui.pushAnswer(platform::Answer::No);
        exportSpan(u"05-Mar-2004"_s, u"01-Apr-2004"_s, file);

        QCOMPARE(m_ui.messages().size(), 1);
        const auto& m = m_ui.messages().first();
        if (inText.isEmpty()) {
            QCOMPARE(m.icon, Icon::Question);
            QCOMPARE(readFile(u"out/keep.txt"_s), QByteArray("kept"));
        } else {
            QVERIFY2(m.text.contains(inText), qPrintable(m.text));
            QCOMPARE(m.title, u"Export Error"_s);
            QCOMPARE(m.icon, Icon::Critical);
        }
        QCOMPARE(readFile(u"vantor.mdb"_s), before);
        QVERIFY(!QFile::exists(u"vantor.mdb-journal"_s));
        QCOMPARE(QDir(u"out"_s).entryList(QDir::Files | QDir::System).size(), 3);
        QCOMPARE(QDir().entryList({u".*.tmp"_s}, QDir::Files | QDir::Hidden).size(), 0);
        QVERIFY(store::checkDatabase(u"vantor.mdb"_s).isEmpty());
    }

    // A long export shows its progress; Cancel stops it, writes nothing,
    // leaves an existing file as it was and says nothing more; the next
    // export runs to the end.
    void cancelWritesNothing()
    {
        overviewtest::execute(
            "WITH RECURSIVE n(i) AS (SELECT 100 UNION ALL SELECT i + 1 FROM n WHERE i < 5099) "
            "INSERT INTO Results (ID, Date, Period, Remarks) "
            "SELECT i, date('2004-04-02', '+' || i || ' days'), 1, 'r' || i FROM n;"
            "WITH RECURSIVE k(j) AS (SELECT 1 UNION ALL SELECT j + 1 FROM k WHERE j < 8) "
            "INSERT INTO Details (ID, Test, Result, Unit) "
            "SELECT Results.ID, 1, k.j, 'mg/dL' FROM Results, k WHERE Results.ID >= 100;");
        const QString target = QDir::current().absoluteFilePath(QStringLiteral("out/export.txt"));
        const QByteArray before("kept as it was");
        overviewtest::writeFile(target, before);
        m_ui.pushAnswer(platform::Answer::Yes); // replace it
        int steps = 0;
        QTimer poll;
        connect(&poll, &QTimer::timeout, this, [&steps] {
            auto* progress = qobject_cast<QProgressDialog*>(QApplication::activeModalWidget());
            if (progress && progress->isVisible() && progress->value() > 0 && ++steps == 2) {
                overviewtest::screenshot(progress, QStringLiteral("exportProgress"));
                QTest::mouseClick(progress->findChild<QPushButton*>(), Qt::LeftButton);
            }
        });
        poll.start(0);
        m_dialog = new dlgExport;
        m_dialog->setProgressDelay(0);
        m_dialog->show();
        m_dialog->inputs()->fromList()->setBoundText(u"05-Mar-2004"_s);
        m_dialog->inputs()->toList()->setBoundText(m_dialog->inputs()->toList()->itemText(
            m_dialog->inputs()->toList()->count() - 1));
        auto* name = overviewtest::child<QLineEdit>(m_dialog, "sFile");
        name->clear();
        QTest::keyClicks(name, target);
        QTest::mouseClick(overviewtest::child<QPushButton>(m_dialog, "cmdOK"), Qt::LeftButton);
        poll.stop();
        QCOMPARE(steps, 2);
        QCOMPARE(readFile(target), before);
        QCOMPARE(QDir(QStringLiteral("out")).entryList(QDir::Files), QStringList{u"export.txt"_s});
        QCOMPARE(m_ui.takeFirstMessage().buttons, platform::Buttons::YesNo); // only the question
        QVERIFY(m_ui.messages().isEmpty());
        QVERIFY(m_dialog->isVisible());

        m_ui.pushAnswer(platform::Answer::Yes);
        QTest::mouseClick(overviewtest::child<QPushButton>(m_dialog, "cmdOK"), Qt::LeftButton);
        QCOMPARE(readFile(target).count("\r\n"), 1 + 40000 + 9);
    }

    // Keys alone: Enter in the name box or on a date list exports, as the
    // default button would in a dialog; Escape closes the window.
    void enterExportsAndEscapeCloses()
    {
        m_dialog = new dlgExport;
        m_dialog->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_dialog));
        const QString target = QDir::current().absoluteFilePath(QStringLiteral("out/keys.txt"));
        auto* name = overviewtest::child<QLineEdit>(m_dialog, "sFile");
        name->setFocus();
        name->selectAll();
        QTest::keyClicks(name, target);
        QTest::keyClick(name, Qt::Key_Return);
        QVERIFY(QFile::exists(target));
        QCOMPARE(overviewtest::onlyMessage(m_ui),
                 overviewtest::shown(1, QStringLiteral("Export Data"), Icon::Information,
                                     QStringLiteral("Export completed successfully.")));

        m_ui.takeFirstMessage();

        // Again from the From list, on the keypad's Enter: the file is there now.
        m_ui.pushAnswer(platform::Answer::No);
        m_dialog->inputs()->fromList()->setFocus();
        QTest::keyClick(m_dialog->inputs()->fromList(), Qt::Key_Enter, Qt::KeypadModifier);
        QCOMPARE(m_ui.takeFirstMessage().buttons, platform::Buttons::YesNo);

        const QPointer<dlgExport> dialog(m_dialog);
        QTest::keyClick(m_dialog->inputs()->fromList(), Qt::Key_Escape);
        QTRY_VERIFY(dialog.isNull()); // closed, and gone with it
        m_dialog = nullptr;
    }

    void defaultNameAndBrowse()
    {
        m_dialog = new dlgExport;
        m_dialog->show();
        overviewtest::screenshot(m_dialog, QStringLiteral("dlgExport"));
        auto* name = overviewtest::child<QLineEdit>(m_dialog, "sFile");
        QCOMPARE(name->text(), QDir::toNativeSeparators(QDir::homePath() + u"/vantor.txt"_s));
        m_ui.pushFileName(QStringLiteral("/tmp/chosen.txt"));
        auto* browse = overviewtest::child<QPushButton>(m_dialog, "cmdBrowse");
        QTest::mouseClick(browse, Qt::LeftButton);
        QCOMPARE(name->text(), QStringLiteral("/tmp/chosen.txt"));
        // Cancelling the chooser keeps the name.
        QTest::mouseClick(browse, Qt::LeftButton);
        QCOMPARE(name->text(), QStringLiteral("/tmp/chosen.txt"));
        QVERIFY(m_ui.messages().isEmpty());
    }
};

QTEST_MAIN(TestExport)
#include "tst_export.moc"
