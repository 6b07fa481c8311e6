#include "ShellTestSupport.h"

#include "app/DatabaseCompactor.h"
#include "app/Module3.h"
#include "engine/Connection.h"
#include "platform/Error.h"
#include "store/ConnectionStrings.h"
#include "store/Database.h"
#include "store/SqliteDatabase.h"
#include "store/SqliteStatement.h"

#include <QCryptographicHash>
#include <QFile>

#include <filesystem>

using namespace Qt::Literals::StringLiterals;
using vantor::app::DatabaseCompactor;
using vantor::platform::Answer;
using vantor::platform::Icon;
using vantor::store::SqliteDatabase;

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

QStringList rows(SqliteDatabase& db, const QString& sql)
{
    vantor::store::SqliteStatement statement = db.prepare(sql);
    QStringList out;
    while (statement.step()) {
        QStringList cells;
        for (int i = 0; i < statement.columnCount(); ++i)
            cells << statement.text(i);
        out << cells.join(u'\t');
    }
    return out;
}

// Everything a database holds: its schema and every row of every table.
QStringList contents(const QString& path)
{
    SqliteDatabase db(path, SqliteDatabase::Mode::ReadOnly);
    QStringList all = rows(db, u"SELECT type, name, sql FROM sqlite_master ORDER BY type, name"_s);
    for (const QString& table : rows(db, u"SELECT name FROM sqlite_master WHERE type = 'table' "
                                         u"AND name NOT LIKE 'sqlite_%' ORDER BY name"_s))
        all << u"-- "_s + table << rows(db, u"SELECT * FROM \"%1\" ORDER BY rowid"_s.arg(table));
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

    void answeringNoChangesNothing();
    void compactsInPlace_data();
    void compactsInPlace();
    void failureLeavesTheDatabaseAlone_data();
    void failureLeavesTheDatabaseAlone();

private:
    // The second message, after the question: its text, title and icon.
    void expectOutcome(const QString& text, Icon icon)
    {
        QCOMPARE(m_ui.messages().size(), 2);
        const auto& message = m_ui.messages().at(1);
        QCOMPARE(message.text, text);
        QCOMPARE(message.title, u"Compact Database"_s);
        QCOMPARE(message.icon, icon);
    }

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

void tst_Compact::answeringNoChangesNothing()
{
    const QByteArray hash = fileHash();
    m_ui.pushAnswer(Answer::No);
    vantor::app::Module3::CompactDB();

    const auto& ask = m_ui.messages().value(0);
    QCOMPARE(ask.text, u"This process may take a few minutes, depending on the speed of your "
                       u"computer. \r\n\r\nAre you sure you want to continue?"_s);
    QCOMPARE(ask.title, u"Compact Database"_s);
    QCOMPARE(ask.icon, Icon::Question);
    QCOMPARE(ask.buttons, vantor::platform::Buttons::YesNo);
    expectOutcome(u"Compact action cancelled."_s, Icon::Information);
    QCOMPARE(m_ui.busyChanges(), 0);
    QCOMPARE(fileHash(), hash);
    QVERIFY(!QFile::exists(copy));
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
        QFile file(copy);
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

    expectOutcome(u"Finished compacting the database."_s, Icon::Information);
    QCOMPARE(m_ui.messages().at(1).beepsBefore, 1);
    QCOMPARE(m_ui.busyChanges(), 2); // shown, then restored
    QCOMPARE(copyAtRename, m_before);
    QVERIFY(!QFile::exists(copy));
    QCOMPARE(contents(database), m_before);
    QCOMPARE(freePages(), 0);
    QVERIFY(vantor::store::checkDatabase(database).isEmpty());
}

void tst_Compact::failureLeavesTheDatabaseAlone_data()
{
    QTest::addColumn<bool>("held"); // by a window's connection; otherwise the rename fails
    QTest::addColumn<QString>("message");
    QTest::newRow("held by a window")
        << true
        << u"The database \"vantor.mdb\" in the folder \"%1\" is in use by an open window of this "
           u"program. Close the windows that show its data, then compact it again."_s.arg(
               QDir::toNativeSeparators(QDir::currentPath()));
    QTest::newRow("rename fails") << false << u"Disk is on fire."_s;
}

void tst_Compact::failureLeavesTheDatabaseAlone()
{
    QFETCH(bool, held);
    QFETCH(QString, message);
    const QByteArray hash = fileHash();

    vantor::engine::Connection window;
    if (held)
        window.open(vantor::store::CodeConnection);
    else
        DatabaseCompactor::setRenameFunction([](const QString&, const QString&) {
            throw vantor::Error(vantor::Error::DatabaseError, u"Disk is on fire."_s);
        });

    m_ui.pushAnswer(Answer::Yes);
    vantor::app::Module3::CompactDB();

    expectOutcome(message, Icon::Critical);
    QCOMPARE(m_ui.messages().at(1).beepsBefore, 1);
    QVERIFY(!m_ui.isBusy());
    window.close();
    QCOMPARE(fileHash(), hash);
    QVERIFY(!QFile::exists(copy));

    // Once the cause is gone, the compaction goes through.
    DatabaseCompactor::setRenameFunction(nullptr);
    m_ui.clear();
    vantor::app::Module3::CompactDB();
    expectOutcome(u"Finished compacting the database."_s, Icon::Information);
    QCOMPARE(contents(database), m_before);
}

QTEST_MAIN(tst_Compact)
#include "tst_compact.moc"
