#pragma once

#include "Measurements.h"

#include <QStringList>

namespace vantor::bench {

// The windows opened on the database as the user opens them, each in a fresh
// process of the bench so that its resident memory is its own: how long until
// the window is painted, and how much memory it holds while open.
struct WindowResult
{
    double ms = 0;       // until the window is painted (the report: its first page)
    double growthMb = 0; // resident memory it added
    double peakMb = 0;   // the process's peak resident memory
    double keptMb = 0;   // still resident once the window is closed
};

// The names runWindow() takes, in the order the table prints them.
QStringList windowMeasurements();

// Runs one measurement in this process and prints it on one line for the
// parent bench to read. Returns the exit code.
int runWindow(const Setup& setup, const QString& name);

// Runs a measurement runs times, each in a child process of program, and
// keeps the best of each figure.
WindowResult measureWindow(const QString& program, const Setup& setup, const QString& name,
                           int runs);

// The summary query stepped through the engine against a plain C loop over
// sqlite3_step on the same join without formatting. Best-of in milliseconds.
struct RawFloor
{
    double engineMs = 0;
    double loopMs = 0;
    qint64 rows = 0;
};
RawFloor measureRawFloor(const Setup& setup, int runs);

} // namespace vantor::bench
