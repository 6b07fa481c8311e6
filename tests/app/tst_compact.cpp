#include "ShellTestSupport.h"

#include "app/DatabaseCompactor.h"
#include "app/Module3.h"
#include "engine/Connection.h"
#include "platform/Error.h"
#include "store/ConnectionStrings.h"
#include "store/Database.h"

#include <QCryptographicHash>
#include <QFile>

#include <sqlite3.h>

#include <filesystem>

using vantor::app::DatabaseCompactor;
using vantor::platform::Answer;
using vantor::platform::Buttons;
using vantor::platform::Icon;
using vantor::platform::RecordingUi;

namespace {

const QString Title = QStringLiteral("Compact Database");
const QString Question = QStringLiteral("This process may take a few minutes, depending on the "
                                        "speed of your computer. \r\n\r\nAre you sure you want "
                                        "to continue?");

QByteArray fileHash(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QCryptographicHash::hash(file.readAll(), QCryptographicHash::Sha256);
}

// Runs one statement and returns every row, cells joined by tabs.
QStringList query(const QString& path, const QString& sql)
{
    sqlite3* db = nullptr;
    QStringList rows;
    if (sqlite3_open_v2(path.toUtf8().constData(), &db, SQLITE_OPEN_READWRITE, nullptr) !=
        SQLITE_OK) {
        sqlite3_close(db);
        return {QStringLiteral("cannot open")};
    }
    sqlite3_stmt* statement = nullptr;
    if (sqlite3_prepare_v2(db, sql.toUtf8().constData(), -1, &statement, nullptr) != SQLITE_OK)
        rows.append(QString::fromUtf8(sqlite3_errmsg(db)));
    while (statement && sqlite3_step(statement) == SQLITE_ROW) {
        QStringList cells;
        for (int i = 0; i < sqlite3_column_count(statement); ++i)
            cells.append(QString::fromUtf8(
                reinterpret_cast<const char*>(sqlite3_column_text(statement, i))));
        rows.append(cells.join(QLatin1Char('\t')));
    }
    sqlite3_finalize(statement);
    sqlite3_close(db);
    return rows;
}

// Everything a database holds: its schema and every row of every table.
QStringList contents(const QString& path)
{
    QStringList all = query(path, QStringLiteral("SELECT type, name, sql FROM sqlite_master "
                                                 "ORDER BY type, name"));
    for (const QString& table :
         query(path, QStringLiteral("SELECT name FROM sqlite_master WHERE type = 'table' "
                                    "AND name NOT LIKE 'sqlite_%' ORDER BY name"))) {
        all.append(QStringLiteral("-- ") + table);
        all += query(path, QStringLiteral("SELECT * FROM \"%1\" ORDER BY rowid").arg(table));
    }
    return all;
}

int freePages(const QString& path)
{
    return query(path, QStringLiteral("PRAGMA freelist_count")).value(0).toInt();
}

} // namespace

class tst_Compact : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void answeringNoChangesNothing();
    void compactsInPlace_data();
    void compactsInPlace();
    void failureLeavesTheDatabaseAlone_data();
    void failureLeavesTheDatabaseAlone();

private:
    RecordingUi m_ui;
    QString m_database;
    QString m_copy;
    QStringList m_before;
};

void tst_Compact::initTestCase()
{
    vantor::platform::setUi(&m_ui);
    m_database = QDir::current().absoluteFilePath(QStringLiteral("vantor.mdb"));
    m_copy = QDir::current().absoluteFilePath(QStringLiteral("vantor2.mdb"));
}

void tst_Compact::init()
{
    QFile::remove(m_database);
    QFile::remove(m_copy);
    vantor::store::DemoOptions options;
    options.years = 1;
    options.lastDate = QDate(2026, 11, 30);
    vantor::store::createDemoDatabase(m_database, options);
    // Deleted rows leave free pages behind: the work for the compaction.
    query(m_database, QStringLiteral("DELETE FROM Details WHERE rowid % 2 = 0"));
    QVERIFY(freePages(m_database) > 0);
    m_before = contents(m_database);
    QVERIFY(m_before.size() > 100);
    m_ui.clear();
}

void tst_Compact::cleanup()
{
    DatabaseCompactor::setRenameFunction(nullptr);
    QVERIFY(!m_ui.isBusy());
    QVERIFY(shelltest::closeEverything());
}

void tst_Compact::answeringNoChangesNothing()
{
    const QByteArray hash = fileHash(m_database);
    m_ui.pushAnswer(Answer::No);
    vantor::app::Module3::CompactDB();

    QCOMPARE(m_ui.messages().size(), 2);
    const RecordingUi::Message ask = m_ui.messages().at(0);
    QCOMPARE(ask.text, Question);
    QCOMPARE(ask.title, Title);
    QCOMPARE(ask.icon, Icon::Question);
    QCOMPARE(ask.buttons, Buttons::YesNo);
    const RecordingUi::Message cancelled = m_ui.messages().at(1);
    QCOMPARE(cancelled.text, QStringLiteral("Compact action cancelled."));
    QCOMPARE(cancelled.title, Title);
    QCOMPARE(cancelled.icon, Icon::Information);
    QCOMPARE(m_ui.busyChanges(), 0);
    QCOMPARE(fileHash(m_database), hash);
    QVERIFY(!QFile::exists(m_copy));
}

void tst_Compact::compactsInPlace_data()
{
    QTest::addColumn<QByteArray>("leftover"); // a vantor2.mdb from an earlier run
    QTest::newRow("clean folder") << QByteArray();
    QTest::newRow("leftover copy") << QByteArray("half a database from a crash");
    QTest::newRow("empty leftover") << QByteArray("");
}

void tst_Compact::compactsInPlace()
{
    QFETCH(QByteArray, leftover);
    if (!leftover.isNull()) {
        QFile file(m_copy);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(leftover);
    }
    // At the moment of the rename the copy must already be complete: a crash
    // right then must leave a whole database under one of the two names.
    QStringList copyAtRename;
    DatabaseCompactor::setRenameFunction([&](const QString& from, const QString& to) {
        copyAtRename = contents(from);
        std::filesystem::rename(from.toStdString(), to.toStdString());
    });

    m_ui.pushAnswer(Answer::Yes);
    vantor::app::Module3::CompactDB();

    QCOMPARE(m_ui.messages().size(), 2);
    const RecordingUi::Message done = m_ui.messages().at(1);
    QCOMPARE(done.text, QStringLiteral("Finished compacting the database."));
    QCOMPARE(done.title, Title);
    QCOMPARE(done.icon, Icon::Information);
    QCOMPARE(done.beepsBefore, 1);
    QCOMPARE(m_ui.busyChanges(), 2); // shown, then restored

    QCOMPARE(copyAtRename, m_before);
    QVERIFY(!QFile::exists(m_copy));
    QCOMPARE(contents(m_database), m_before);
    QCOMPARE(freePages(m_database), 0);
    QVERIFY(vantor::store::checkDatabase(m_database).isEmpty());
}

void tst_Compact::failureLeavesTheDatabaseAlone_data()
{
    QTest::addColumn<QString>("fault");
    QTest::addColumn<QString>("message");
    QTest::newRow("held by a window")
        << QStringLiteral("connection")
        << QStringLiteral("The database \"vantor.mdb\" in the folder \"%1\" is in use by an open "
                          "window of this program. Close the windows that show its data, then "
                          "compact it again.")
               .arg(QDir::toNativeSeparators(QDir::currentPath()));
    QTest::newRow("rename fails") << QStringLiteral("rename") << QStringLiteral("Disk is on fire.");
}

void tst_Compact::failureLeavesTheDatabaseAlone()
{
    QFETCH(QString, fault);
    QFETCH(QString, message);
    const QByteArray hash = fileHash(m_database);

    vantor::engine::Connection window;
    if (fault == u"connection")
        window.open(vantor::store::CodeConnection);
    else
        DatabaseCompactor::setRenameFunction([](const QString&, const QString&) {
            throw vantor::Error(vantor::Error::DatabaseError, QStringLiteral("Disk is on fire."));
        });

    m_ui.pushAnswer(Answer::Yes);
    vantor::app::Module3::CompactDB();

    QCOMPARE(m_ui.messages().size(), 2);
    const RecordingUi::Message failed = m_ui.messages().at(1);
    QCOMPARE(failed.text, message);
    QCOMPARE(failed.title, Title);
    QCOMPARE(failed.icon, Icon::Critical);
    QCOMPARE(failed.beepsBefore, 1);
    QVERIFY(!m_ui.isBusy());

    window.close();
    QCOMPARE(fileHash(m_database), hash);
    QCOMPARE(contents(m_database), m_before);
    QVERIFY(!QFile::exists(m_copy));

    // Once the cause is gone, the compaction goes through.
    DatabaseCompactor::setRenameFunction(nullptr);
    m_ui.clear();
    vantor::app::Module3::CompactDB();
    QCOMPARE(m_ui.messages().value(1).text, QStringLiteral("Finished compacting the database."));
    QCOMPARE(contents(m_database), m_before);
}

QTEST_MAIN(tst_Compact)
#include "tst_compact.moc"
