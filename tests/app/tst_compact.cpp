#include "ShellTestSupport.h"
#include "store/StoreTestSupport.h"

#include "app/DatabaseCommands.h"
#include "engine/Connection.h"
#include "platform/Error.h"
#include "store/ConnectionStrings.h"
#include "store/Database.h"
#include "store/DatabaseCompactor.h"

#include <QCryptographicHash>
#include <QFile>
#include <QProcess>

#include <filesystem>

using namespace Qt::Literals::StringLiterals;
using vantor::engine::SqliteDatabase;
using vantor::platform::Answer;
using vantor::platform::Icon;
using vantor::store::DatabaseCompactor;

namespace {

const QString database = QDir::current().absoluteFilePath(u"vantor.mdb"_s);
const QString copy = QDir::current().absoluteFilePath(u"vantor2.mdb"_s);

QByteArray fileHash()
{
    QFile file(database);
    return file.open(QIODevice::ReadOnly)
               ? QCryptographicHash::hash(file.readAll(), QCryptographicHash::Sha256)
               : QByteArray();
}

// Everything a database holds: its schema and every row of every table.
QStringList contents(const QString& path)
{
    SqliteDatabase db(path, SqliteDatabase::Mode::ReadOnly);
    QStringList all =
        storetest::rows(db, u"SELECT type, name, sql FROM sqlite_master ORDER BY type, name"_s);
    for (const QString& table :
         storetest::rows(db, u"SELECT name FROM sqlite_master WHERE type = 'table' "
                             u"AND name NOT LIKE 'sqlite_%' ORDER BY name"_s))
        all << u"-- "_s + table
            << storetest::rows(db, u"SELECT * FROM \"%1\" ORDER BY rowid"_s.arg(table));
    return all;
}

int freePages()
{
    SqliteDatabase db(database, SqliteDatabase::Mode::ReadOnly);
    return db.scalar(u"PRAGMA freelist_count"_s).toInt();
}

} // namespace

class tst_Compact : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { vantor::platform::setUi(&m_ui); }
    void init();
    void cleanup();
    void compaction_data();
    void compaction();
    void refusedWhileAnotherProcessHoldsTheFile_data();
    void refusedWhileAnotherProcessHoldsTheFile();
    void backUp_data();
    void backUp();

private:
    vantor::platform::RecordingUi m_ui;
    QStringList m_before;
};

void tst_Compact::init()
{
    QFile::remove(database);
    QFile::remove(copy);
    vantor::store::DemoOptions options;
    options.years = 1;
    options.lastDate = QDate(2026, 11, 30);
    vantor::store::createDemoDatabase(database, options);
    // Deleted rows leave free pages behind: the work for the compaction.
    SqliteDatabase(database, SqliteDatabase::Mode::ReadWrite)
        .exec(u"DELETE FROM Details WHERE rowid % 2 = 0"_s);
    QVERIFY(freePages() > 0);
    m_before = contents(database);
    QVERIFY(m_before.size() > 100);
    m_ui.clear();
}

void tst_Compact::cleanup()
{
    DatabaseCompactor::setRenameFunction(nullptr);
    QVERIFY(!m_ui.isBusy());
    QVERIFY(shelltest::closeEverything());
}

void tst_Compact::compaction_data()
{
    QTest::addColumn<Answer>("answer");
    QTest::addColumn<QByteArray>("leftover"); // a vantor2.mdb from an earlier run
    QTest::addColumn<QString>("fault");       // "held" by a window, or the "rename" fails
    QTest::addColumn<QString>("outcome");     // the message after the question

    const QString done = u"Finished compacting the database."_s;
    QTest::newRow("answering no") << Answer::No << QByteArray() << QString()
                                  << u"Compact action cancelled."_s;
    QTest::newRow("clean folder") << Answer::Yes << QByteArray() << QString() << done;
    QTest::newRow("leftover copy")
        << Answer::Yes << QByteArray("half a database from a crash") << QString() << done;
    QTest::newRow("empty leftover") << Answer::Yes << QByteArray("") << QString() << done;
    QTest::newRow("held by a window")
        << Answer::Yes << QByteArray() << u"held"_s
        << u"The database \"vantor.mdb\" in the folder \"%1\" is in use by an open window of "
           u"this program. Close the windows that show its data, then compact it again."_s.arg(
               QDir::toNativeSeparators(QDir::currentPath()));
    QTest::newRow("rename fails") << Answer::Yes << QByteArray() << u"rename"_s
                                  << u"Disk is on fire."_s;
}

void tst_Compact::compaction()
{
    QFETCH(Answer, answer);
    QFETCH(QByteArray, leftover);
    QFETCH(QString, fault);
    QFETCH(QString, outcome);
    if (!leftover.isNull()) {
        QFile file(copy);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(leftover);
    }
    // The copy must be as private as the database from its first byte on.
    QVERIFY(QFile::setPermissions(database,
                                  QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup));
    const QFile::Permissions mode = QFile::permissions(database); // 0640
    QVERIFY(!(mode & QFile::ReadOther));
    QFile::Permissions copyMode;
    const QByteArray hash = fileHash();
    vantor::engine::Connection window;
    if (fault == u"held")
        window.open(vantor::store::CodeConnection);
    // At the moment of the rename the copy must already be complete: a crash
    // right then must leave a whole database under one of the two names.
    QStringList copyAtRename;
    DatabaseCompactor::setRenameFunction([&](const QString& from, const QString& to) {
        copyMode = QFile::permissions(from);
        if (fault == u"rename")
            throw vantor::Error(vantor::Error::DatabaseError, u"Disk is on fire."_s);
        copyAtRename = contents(from);
        std::filesystem::rename(from.toStdString(), to.toStdString());
    });

    m_ui.pushAnswer(answer);
    vantor::app::CompactDB();

    QCOMPARE(m_ui.messages().size(), 2);
    const auto& ask = m_ui.messages().at(0);
    QCOMPARE(ask.text, u"This process may take a few minutes, depending on the speed of your "
                       u"computer. \r\n\r\nAre you sure you want to continue?"_s);
    QCOMPARE(ask.icon, Icon::Question);
    QCOMPARE(ask.buttons, vantor::platform::Buttons::YesNo);
    const auto& told = m_ui.messages().at(1);
    QCOMPARE(told.text, outcome);
    QCOMPARE(ask.title, u"Compact Database"_s);
    QCOMPARE(told.title, u"Compact Database"_s);
    QCOMPARE(told.icon, fault.isEmpty() ? Icon::Information : Icon::Critical);
    QCOMPARE(told.beepsBefore, answer == Answer::Yes ? 1 : 0);
    QCOMPARE(m_ui.busyChanges(), answer == Answer::Yes ? 2 : 0); // shown, then restored
    QVERIFY(!QFile::exists(copy));
    if (answer == Answer::Yes && fault != u"held")
        QCOMPARE(copyMode, mode);
    QCOMPARE(QFile::permissions(database), mode);
    if (answer == Answer::No || !fault.isEmpty()) {
        QCOMPARE(fileHash(), hash);
        if (answer == Answer::No)
            return;
        // Once the cause is gone, the compaction goes through.
        window.close();
        DatabaseCompactor::setRenameFunction(nullptr);
        m_ui.clear();
        vantor::app::CompactDB();
        QCOMPARE(m_ui.messages().value(1).text, u"Finished compacting the database."_s);
    } else {
        QCOMPARE(copyAtRename, m_before);
    }
    QCOMPARE(contents(database), m_before);
    QCOMPARE(freePages(), 0);
    QVERIFY(vantor::store::checkDatabase(database).isEmpty());
}

// A second process: a copy of the program with a window open (its shared
// lock), or another program in the middle of a write (SQLite's lock). The
// compaction refuses, the file stays as it was, and the other process's
// pending work still reaches the file afterwards.
void tst_Compact::refusedWhileAnotherProcessHoldsTheFile_data()
{
    QTest::addColumn<QString>("mode");
    QTest::addColumn<QString>("inText");
    QTest::addColumn<QString>("stored"); // the period the other process writes
    QTest::newRow("another copy of the program")
        << u"program"_s << u"is open in another copy of the program"_s << u"held"_s;
    QTest::newRow("another program writing")
        << u"lock"_s << u"is in use by another program, which holds a lock on it"_s
        << u"pending"_s;
}

void tst_Compact::refusedWhileAnotherProcessHoldsTheFile()
{
    QFETCH(QString, mode);
    QFETCH(QString, inText);
    QFETCH(QString, stored);
    QProcess other;
    other.start(QStringLiteral(VANTOR_CONNECTION_HOLDER), {mode, database});
    QVERIFY(other.waitForReadyRead(10000));
    QCOMPARE(other.readLine().trimmed(), QByteArray("ready"));
    const QByteArray hash = fileHash();

    m_ui.pushAnswer(Answer::Yes);
    vantor::app::CompactDB();
    QCOMPARE(m_ui.messages().size(), 2);
    const auto& told = m_ui.messages().at(1);
    QVERIFY2(told.text.contains(inText), qPrintable(told.text));
    QCOMPARE(told.icon, Icon::Critical);
    QCOMPARE(told.title, u"Compact Database"_s);
    QCOMPARE(fileHash(), hash);
    QVERIFY(!QFile::exists(copy));

    other.write("write\n");
    QVERIFY(other.waitForReadyRead(10000));
    QCOMPARE(other.readLine().trimmed(), QByteArray("written"));
    other.closeWriteChannel();
    QVERIFY(other.waitForFinished(10000));
    QCOMPARE(other.exitCode(), 0);
    SqliteDatabase db(database, SqliteDatabase::Mode::ReadOnly);
    QCOMPARE(db.scalar(u"SELECT count(*) FROM Periods WHERE Period = '%1'"_s.arg(stored)).toInt(),
             1);
    db.close();

    // With the other process gone, the compaction goes through.
    m_ui.clear();
    m_ui.pushAnswer(Answer::Yes);
    vantor::app::CompactDB();
    QCOMPARE(m_ui.messages().value(1).text, u"Finished compacting the database."_s);
}

void tst_Compact::backUp_data()
{
    QTest::addColumn<QString>("target");
    QTest::addColumn<QString>("refusal"); // empty: the backup is written
    QTest::newRow("new file") << u"backup/results.mdb"_s << QString();
    QTest::newRow("over an older backup") << u"backup/old.mdb"_s << QString();
    QTest::newRow("the database") << u"vantor.mdb"_s << u"the results database in use"_s;
    QTest::newRow("through a link") << u"backup/link.mdb"_s << u"the results database in use"_s;
    QTest::newRow("its journal") << u"vantor.mdb-journal"_s << u"journal"_s;
}

void tst_Compact::backUp()
{
    QFETCH(QString, target);
    QFETCH(QString, refusal);
    QDir(u"backup"_s).removeRecursively();
    QVERIFY(QDir().mkdir(u"backup"_s));
    QVERIFY(QFile::link(database, u"backup/link.mdb"_s));
    {
        QFile old(u"backup/old.mdb"_s);
        QVERIFY(old.open(QIODevice::WriteOnly));
        old.write("an older backup");
    }
    QVERIFY(QFile::setPermissions(database, QFile::ReadOwner | QFile::WriteOwner));
    // A window may stay open: the backup is online.
    vantor::engine::Connection window;
    window.open(vantor::store::CodeConnection);
    const QByteArray hash = fileHash();

    m_ui.pushFileName(QDir::current().absoluteFilePath(target));
    vantor::app::BackupDB();
    QCOMPARE(m_ui.messages().size(), 1);
    const auto& told = m_ui.messages().first();
    QCOMPARE(told.title, u"Back Up Database"_s);
    QCOMPARE(fileHash(), hash);
    QVERIFY(!m_ui.isBusy());
    // Nothing but the backup itself is added: no temporary file, no journal.
    QCOMPARE(QDir(u"backup"_s).entryList(QDir::Files | QDir::Hidden | QDir::System).size(),
             target == u"backup/results.mdb"_s ? 3 : 2);
    if (!refusal.isEmpty()) {
        QVERIFY2(told.text.contains(refusal), qPrintable(told.text));
        QCOMPARE(told.icon, Icon::Critical);
        QVERIFY(!QFile::exists(u"vantor.mdb-journal"_s));
        return;
    }
    QCOMPARE(told.icon, Icon::Information);
    QCOMPARE(QFile::permissions(target), QFile::permissions(database)); // 0600
    QVERIFY(!(QFile::permissions(target) & (QFile::ReadGroup | QFile::ReadOther)));
    QCOMPARE(contents(target), m_before);
    QVERIFY(vantor::store::checkDatabase(target).isEmpty());
}

QTEST_MAIN(tst_Compact)
#include "tst_compact.moc"
