#include "TestSupport.h"

#include "engine/Connection.h"
#include "widgets/WindowRegistry.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QSettings>
#include <QTest>

namespace testsupport {

bool closeEverything()
{
    vantor::widgets::windows().closeAll();
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (!widget->parentWidget())
            widget->close();
    }
    return QTest::qWaitFor([] { return QApplication::topLevelWidgets().isEmpty(); }, 500);
}

void screenshot(QWidget* widget, const QString& name)
{
    const QString folder = qEnvironmentVariable("VANTOR_SCREENSHOT_DIR");
    if (!folder.isEmpty())
        widget->grab().save(QDir(folder).absoluteFilePath(name + QStringLiteral(".png")));
}

namespace {

void executeAll(const QStringList& statements, const QString& database)
{
    vantor::engine::Connection connection;
    connection.open(QStringLiteral("Data Source=") + database);
    connection.beginTrans();
    for (const QString& sql : statements)
        connection.execute(sql);
    connection.commitTrans();
}

} // namespace

void execute(std::initializer_list<const char*> statements, const QString& database)
{
    QStringList texts;
    for (const char* sql : statements)
        texts << QString::fromUtf8(sql);
    executeAll(texts, database);
}

void execute(const QString& statement, const QString& database)
{
    executeAll({statement}, database);
}

QByteArray readFile(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return "<missing " + path.toUtf8() + '>';
    return file.readAll();
}

void writeFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    QVERIFY2(file.open(QIODevice::WriteOnly | QIODevice::Truncate), qPrintable(path));
    QCOMPARE(file.write(bytes), bytes.size());
}

void isolateSettings()
{
    const QString folder = QDir::current().absoluteFilePath(QStringLiteral("settings"));
    for (auto format : {QSettings::NativeFormat, QSettings::IniFormat}) {
        QSettings::setPath(format, QSettings::UserScope, folder);
        QSettings::setPath(format, QSettings::SystemScope, folder);
    }
}

} // namespace testsupport
