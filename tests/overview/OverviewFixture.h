#pragma once

// What the overview tests share: a small database with known rows, a working
// folder and the recorder as the seam, and ways to read what the user sees.

#include "platform/RecordingUi.h"
#include "store/Database.h"
#include "support/TestSupport.h"
#include "widgets/DataCombo.h"
#include "widgets/DataGrid.h"
#include "widgets/WindowRegistry.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <QWidget>

#include <sqlite3.h>

namespace overviewtest {

// Periods whose names sort otherwise than their ids; a test item whose name
// sorts first but has no values; values of a deleted item and of an occasion
// whose period is gone; remarks with a TAB and a line break; an occasion
// without values; a result above a thousand; Glucose's minimum twice.
const char* const KnownRows = R"(
INSERT INTO Periods (ID, Period) VALUES (1, 'Morning'), (2, 'Afternoon'), (3, 'Evening');
INSERT INTO Tests (ID, Test, Units) VALUES (1, 'Glucose', 'mg/dL'), (2, 'Cholesterol', 'mg/dL'),
    (3, 'Albumin', 'g/dL'), (4, 'Zinc', 'µg/dL'), (5, 'Aardvark', 'none');
INSERT INTO Results (ID, Date, Period, Remarks) VALUES
    (1, '2004-03-05', 1, 'fasting'),
    (2, '2004-03-05', 2, ''),
    (3, '2004-03-06', 1, 'after' || char(9) || 'dinner' || char(13, 10) || 'felt fine'),
    (4, '2004-03-08', 3, 'no values'),
    (5, '2004-03-09', 99, NULL),
    (6, '2004-04-01', 1, 'Café check');
INSERT INTO Details (ID, Test, Result, Unit) VALUES
    (1, 1, 95.5, 'mg/dL'), (1, 2, 1234.56, 'mg/dL'), (1, 3, 4.2, 'g/dL'), (1, 77, 7, 'x'),
    (2, 1, 88, 'mg/dL'), (2, 3, 4.2, 'g/dL'),
    (3, 1, 88, 'mg/dL'), (3, 2, 180, 'mg/dL'),
    (5, 4, 12, 'µg/dL'),
    (6, 2, 200, 'mg/dL');
)";

// Runs SQLite statements on the database in the working folder.
inline void execute(const char* sql)
{
    sqlite3* db = nullptr;
    QCOMPARE(sqlite3_open_v2("vantor.mdb", &db, SQLITE_OPEN_READWRITE, nullptr), SQLITE_OK);
    char* message = nullptr;
    const int rc = sqlite3_exec(db, sql, nullptr, nullptr, &message);
    const QString text = QString::fromUtf8(message ? message : "");
    sqlite3_free(message);
    sqlite3_close(db);
    QVERIFY2(rc == SQLITE_OK, qPrintable(text));
}

inline void makeEmptyDatabase()
{
    QFile::remove(QStringLiteral("vantor.mdb"));
    vantor::store::createDatabase(QStringLiteral("vantor.mdb"));
}

inline void makeKnownDatabase()
{
    makeEmptyDatabase();
    execute(KnownRows);
}

using testsupport::child;
using testsupport::closeEverything;
using testsupport::screenshot;

// A test's working folder and recorder; its slots call start, reset and finish.
struct Session
{
    QTemporaryDir dir;
    vantor::platform::RecordingUi ui;

    void start()
    {
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
        QDir::setCurrent(dir.path());
        vantor::platform::setUi(&ui);
    }
    void reset()
    {
        ui.clear();
        makeKnownDatabase();
    }
    bool finish() { return closeEverything() && !ui.isBusy(); }
};

// A message as the user saw it, in one text that a comparison can show.
inline QString shown(int beepsBefore, const QString& title, vantor::platform::Icon icon,
                     const QString& text)
{
    return QStringLiteral("%1 beep(s) | %2 | icon %3 | %4")
        .arg(beepsBefore)
        .arg(title)
        .arg(int(icon))
        .arg(text);
}

// The one message shown so far, as shown() writes it.
inline QString onlyMessage(const vantor::platform::RecordingUi& ui)
{
    if (ui.messages().size() != 1)
        return QStringLiteral("%1 messages").arg(ui.messages().size());
    const auto& m = ui.messages().first();
    return shown(m.beepsBefore, m.title, m.icon, m.text);
}

using testsupport::readFile;
using testsupport::writeFile;

// Picks a text in a list as the user does.
inline void choose(QWidget* window, const char* list, const QString& text)
{
    auto* combo = child<vantor::widgets::DataCombo>(window, list);
    QVERIFY(combo);
    const int i = combo->findText(text);
    QVERIFY2(i >= 0, qPrintable(text));
    combo->setCurrentIndex(i);
    emit combo->activated(i);
}

// A grid's rows as the user reads them: the visible cells joined by "|".
inline QStringList gridRows(const vantor::widgets::DataGrid* grid)
{
    QStringList rows;
    const QAbstractItemModel* model = grid->model();
    for (int r = 0; r < model->rowCount(); ++r) {
        QStringList cells;
        for (int c = 0; c < model->columnCount(); ++c) {
            if (!grid->isColumnHidden(c))
                cells << model->index(r, c).data().toString();
        }
        rows << cells.join(u'|');
    }
    return rows;
}

} // namespace overviewtest
