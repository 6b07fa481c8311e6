#include "dlgExport.h"

#include "ErrorTrap.h"
#include "ExportWriter.h"

#include "engine/Connection.h"
#include "platform/Ui.h"
#include "store/ConnectionStrings.h"

#include <QDir>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressDialog>

namespace vantor::overview {

namespace {
constexpr int ProgressSteps = 1000;
}

dlgExport::dlgExport(QWidget* parent)
    : DateRangeDialog({QStringLiteral("dlgExport"), QStringLiteral("Export Data"),
                       QStringLiteral("From date"), QStringLiteral("to"), false,
                       QStringLiteral("Export Data"), QStringLiteral("Select Dates")},
                      parent)
{
    auto* label = new QLabel(QStringLiteral("File name (include full path):"), this);
    label->setObjectName(QStringLiteral("Label1"));
    m_file = new QLineEdit(defaultFileName(), this);
    m_file->setObjectName(QStringLiteral("sFile"));
    m_file->setMinimumWidth(fontMetrics().averageCharWidth() * 40);
    label->setBuddy(m_file);
    auto* browseButton = new QPushButton(QStringLiteral("&Browse..."), this);
    browseButton->setObjectName(QStringLiteral("cmdBrowse"));
    browseButton->setAutoDefault(false);
    auto* note =
        new QLabel(QStringLiteral("Note: data will be saved in a tab-delimited format."), this);
    note->setObjectName(QStringLiteral("Label2"));

    auto* fileRow = new QHBoxLayout;
    fileRow->addWidget(m_file, 1);
    fileRow->addWidget(browseButton);
    inputLayout()->addSpacing(fontMetrics().height() / 2);
    inputLayout()->addWidget(label);
    inputLayout()->addLayout(fileRow);
    inputLayout()->addWidget(note);

    connect(browseButton, &QPushButton::clicked, this, &dlgExport::browse);
}

QString dlgExport::defaultFileName()
{
    return QDir::toNativeSeparators(QDir::home().filePath(QStringLiteral("vantor.txt")));
}

void dlgExport::browse()
{
    const QString chosen =
        platform::ui().saveFileName(QStringLiteral("Export Data"), m_file->text(),
                                    QStringLiteral("Text files (*.txt);;All files (*)"));
    if (!chosen.isEmpty()) {
        // The chooser has asked about replacing it already.
        m_chosen = QDir::toNativeSeparators(chosen);
        m_file->setText(m_chosen);
    }
}

void dlgExport::runAction()
{
    exportData();
}

void dlgExport::exportData()
{
    bool declined = false;
    const bool written = trapErrors(
        [this, &declined] {
            const QString fileName = QDir::fromNativeSeparators(m_file->text());
            const QDate from = inputs()->fromDate();
            const QDate to = inputs()->toDate();
            const platform::BusyPointer busy;
            engine::Connection connection;
            connection.open(store::CodeConnection);
            // A name the file chooser returned has been asked about already.
            const bool chosen = m_file->text() == m_chosen;
            const auto mayReplaceFile = [chosen](const QString& name) {
                if (chosen)
                    return true;
                // The arrow, not the hourglass, over a question.
                platform::ui().setBusy(false);
                const bool yes = mayReplace(name, QStringLiteral("Export Data"));
                platform::ui().setBusy(true);
                return yes;
            };
            // A long export shows how far it has come and can be cancelled;
            // a cancelled one writes nothing.
            QProgressDialog progress(QStringLiteral("Exporting test values..."),
                                     QStringLiteral("Cancel"), 0, ProgressSteps, this);
            progress.setObjectName(QStringLiteral("exportProgress"));
            progress.setWindowTitle(QStringLiteral("Export Data"));
            progress.setWindowModality(Qt::WindowModal);
            progress.setMinimumDuration(m_progressDelay);
            progress.setAutoReset(false);
            progress.setValue(0);
            declined = writeExport(connection, fileName, from, to, mayReplaceFile,
                                   [&progress](double done) {
                                       progress.setValue(int(done * ProgressSteps));
                                       return !progress.wasCanceled();
                                   }) < 0;
        },
        QStringLiteral("Export Error"));
    if (!written || declined)
        return;
    platform::ui().beep();
    platform::showMessage(QStringLiteral("Export completed successfully."),
                          platform::Icon::Information, QStringLiteral("Export Data"));
}

} // namespace vantor::overview
