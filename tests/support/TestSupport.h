#pragma once

#include <QString>
#include <QWidget>

#include <initializer_list>

// Helpers the tests of every layer share.
namespace testsupport {

// Closes whatever a test left open, the registry's windows newest first;
// false when a window remains.
bool closeEverything();

// A window's control by its name; a warning names a control that is missing.
template <typename T = QWidget> T* child(const QWidget* window, const char* name)
{
    T* found = window ? window->findChild<T*>(QLatin1String(name)) : nullptr;
    if (!found)
        qWarning("no control %s", name);
    return found;
}

// Saves a picture of the widget as NAME.png in VANTOR_SCREENSHOT_DIR, when
// that names a folder (scripts/screenshots.sh sets it).
void screenshot(QWidget* widget, const QString& name);

// Runs statements of the program's SQL on a database through the engine,
// in one transaction: one write to the disk.
void execute(std::initializer_list<const char*> statements,
             const QString& database = QStringLiteral("vantor.mdb"));
void execute(const QString& statement, const QString& database = QStringLiteral("vantor.mdb"));

// A file's bytes; a text that names the file when it cannot be read.
QByteArray readFile(const QString& path);
// Writes the bytes as the whole file (a test fails when it cannot).
void writeFile(const QString& path, const QByteArray& bytes);

// Keeps the program's per-user settings in the test's working folder.
void isolateSettings();

} // namespace testsupport
