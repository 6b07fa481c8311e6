#pragma once

// Helpers of the entry tests: a fresh database in a scratch folder, the
// file's rows as text, and the windows' children by name.

#include "engine/Connection.h"
#include "engine/Recordset.h"
#include "entry/EntryWindows.h"
#include "platform/RecordingUi.h"
#include "store/Database.h"
#include "support/TestSupport.h"
#include "widgets/WindowRegistry.h"

#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

namespace entrytest {

using namespace vantor;

// The rows of a query, cells joined by | and dates written as ISO dates.
inline QStringList fileRows(const QString& sql)
{
    engine::Connection c;
    c.open(QStringLiteral("Data Source=vantor.mdb"));
    engine::Recordset rs;
    rs.open(sql, &c);
    QStringList rows;
    for (; !rs.eof(); rs.moveNext()) {
        QStringList cells;
        for (int k = 0; k < rs.fieldCount(); ++k) {
            const QVariant v = rs.value(k);
            cells << (v.typeId() == QMetaType::QDate ? v.toDate().toString(Qt::ISODate)
                                                     : v.toString());
        }
        rows << cells.join(u'|');
    }
    return rows;
}

inline QString fileText(const QString& sql)
{
    return fileRows(sql).join(u';');
}

using testsupport::child;
using testsupport::execute;
using testsupport::screenshot;

inline void click(QWidget* window, const char* name)
{
    child<QPushButton>(window, name)->click();
}

inline QString status(QWidget* window)
{
    return child<QLabel>(window, "lblStatus")->text();
}

inline QWidget* open(const char* name)
{
    return widgets::windows().show(QLatin1String(name));
}

// Answers No to every save question: what a test left unsaved goes.
class DiscardingUi : public platform::RecordingUi
{
public:
    platform::Answer messageBox(const QString& text, platform::Buttons buttons, platform::Icon icon,
                                const QString& title = {}) override
    {
        RecordingUi::messageBox(text, buttons, icon, title);
        return buttons == platform::Buttons::YesNoCancel ? platform::Answer::No
                                                         : platform::Answer::Ok;
    }
};

// Each test in a scratch folder with a new empty database.
struct Fixture
{
    QTemporaryDir dir;
    QString oldCwd;
    platform::RecordingUi ui;

    void start()
    {
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
        platform::setUi(&ui);
        entry::registerEntryWindows();
    }
    void fresh()
    {
        oldCwd = QDir::currentPath();
        QDir::setCurrent(dir.path());
        QFile::remove(QStringLiteral("vantor.mdb"));
        store::createDatabase(QStringLiteral("vantor.mdb"));
        ui.clear();
    }
    void finish()
    {
        DiscardingUi discard;
        platform::setUi(&discard);
        widgets::windows().closeAll();
        platform::setUi(&ui);
        QTRY_VERIFY(widgets::windows().loadOrder().isEmpty());
        QTRY_VERIFY(QApplication::topLevelWidgets().isEmpty());
        QDir::setCurrent(oldCwd);
    }
};

} // namespace entrytest
