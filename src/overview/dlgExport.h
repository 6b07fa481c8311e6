#pragma once

#include "DateRangeDialog.h"

#include <QLineEdit>

namespace vantor::overview {

// "Export Data": writes every test value of a span of dates to a
// tab-delimited text file (see writeExport). The file name box starts with
// vantor.txt in the user's home folder; Browse picks another through a file
// chooser.
class dlgExport : public DateRangeDialog
{
    Q_OBJECT

public:
    explicit dlgExport(QWidget* parent = nullptr);

    static QString defaultFileName();

    // The export routine: reads the file name and the dates, writes the
    // file and reports the outcome; its own failures show "Export Error".
    void exportData();
    void browse();
    // How long an export runs before its progress shows (tests show it at once).
    void setProgressDelay(int ms) { m_progressDelay = ms; }

protected:
    void runAction() override;

private:
    QLineEdit* m_file;
    QString m_chosen; // the name the file chooser confirmed
    int m_progressDelay = 500;
};

} // namespace vantor::overview
