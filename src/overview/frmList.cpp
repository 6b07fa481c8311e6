#include "frmList.h"

#include "ErrorTrap.h"

#include "engine/Connection.h"
#include "engine/Recordset.h"
#include "platform/Error.h"
#include "platform/Format.h"
#include "platform/ReplacingFile.h"
#include "platform/Ui.h"
#include "report/DataReport.h"
#include "report/ReportRun.h"
#include "store/ConnectionStrings.h"
#include "store/ReferenceRange.h"
#include "widgets/DataGrid.h"
#include "widgets/WindowRegistry.h"

#include <QCloseEvent>
#include <QDir>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QStringEncoder>
#include <QVBoxLayout>

namespace vantor::overview {

namespace {

const QString ExportTitle = QStringLiteral("Export Filtered List Results");

// The columns of the list's query that the user sees and the export writes.
enum Column { Dates = 1, Period = 2, Result = 4, Units = 5 };

QString cell(const engine::Recordset& rows, int row, int column)
{
    const QVariant value = rows.valueAt(row, column);
    if (value.typeId() == QMetaType::Double)
        return platform::numberText(value.toDouble());
    return value.toString();
}

} // namespace

frmList::frmList(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("frmList"));
    setWindowTitle(QStringLiteral("Item Results"));
    setAttribute(Qt::WA_DeleteOnClose);

    m_title = new QLabel(
        QStringLiteral("[Item] results [Condition] [Result] from [DateFrom] until [DateTo]."),
        this);
    m_title->setObjectName(QStringLiteral("txtTitle"));
    m_title->setAlignment(Qt::AlignCenter);
    QFont titleFont = m_title->font();
    titleFont.setBold(true);
    m_title->setFont(titleFont);
    m_grid = new widgets::DataGrid(this);
    m_grid->setObjectName(QStringLiteral("DataGrid1"));
    m_grid->setReadOnly(true);
    m_grid->setAllowAddNew(false);
    m_grid->horizontalHeader()->setStretchLastSection(true);
    m_sql = new QLineEdit(this);
    m_sql->setObjectName(QStringLiteral("sSQL"));
    m_sql->setVisible(false);
    m_export = new QPushButton(QStringLiteral("Export"), this);
    m_export->setObjectName(QStringLiteral("cmdExport"));
    m_print = new QPushButton(QStringLiteral("Print"), this);
    m_print->setObjectName(QStringLiteral("cmdPrint"));

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_title);
    layout->addWidget(m_grid, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(m_export);
    buttons->addWidget(m_print);
    layout->addLayout(buttons);
    resize(480, 360);

    connect(m_export, &QPushButton::clicked, this, &frmList::exportList);
    connect(m_print, &QPushButton::clicked, this, &frmList::printList);

    m_dialog = widgets::windows().find(QStringLiteral("dlgList"));
    if (m_dialog)
        m_dialog->setEnabled(false);
}

frmList::~frmList()
{
    releaseDialog();
}

void frmList::closeEvent(QCloseEvent* event)
{
    QWidget::closeEvent(event);
    if (event->isAccepted())
        releaseDialog();
}

void frmList::releaseDialog()
{
    if (m_dialog)
        m_dialog->setEnabled(true);
    m_dialog.clear();
}

void frmList::showList(const ListRequest& request, std::unique_ptr<engine::Connection> connection,
                       std::unique_ptr<engine::Recordset> rows)
{
    m_request = request;
    // A label breaks its lines at line feeds only; the title's own text, with
    // its lone carriage return, is what the export and the report receive.
    m_title->setText(QString(request.title()).replace(u'\r', u'\n'));
    m_grid->setRecordset(rows.get());
    addFlagColumn();
    for (int column : {0, 3, 6, 7})
        m_grid->setColumnVisible(column, false);
    // Room for the flag beside the unit within the window's width.
    const QFontMetrics metrics = m_grid->fontMetrics();
    m_grid->setColumnWidth(5, metrics.horizontalAdvance(QStringLiteral("x10^3/uL")) + 16);
    m_grid->setColumnWidth(8, metrics.horizontalAdvance(QStringLiteral("Flag")) + 16);
    m_sql->setText(request.listSql());
    // The grid lets go of the old rows before they go.
    m_rows = std::move(rows);
    m_connection = std::move(connection);
}

// Flag: each value against its item's reference range; the tooltip gives
// the range, or why the value is not compared.
void frmList::addFlagColumn()
{
    QHash<QString, store::ReferenceRange> ranges;
    try {
        ranges = store::rangesByName(store::readReferenceRanges());
    } catch (const Error&) {
        // the values are shown without flags
    }
    widgets::RecordsetModel::DerivedColumn flag;
    flag.header = QStringLiteral("Flag");
    flag.data = [ranges](const engine::Recordset& rs, int row, int role) {
        return store::flagCell(ranges, platform::valueText(rs.valueAt(row, 3)), rs.valueAt(row, 4),
                               platform::valueText(rs.valueAt(row, 7)), role);
    };
    m_grid->recordsetModel()->setDerivedColumns({flag});
}

void frmList::exportList()
{
    const std::optional<QString> answer = platform::ui().inputBox(
        QStringLiteral("Enter the file name (include the complete path):\n\nNote: data will be "
                       "saved in a tab-delimited format."),
        ExportTitle, QDir::toNativeSeparators(QDir::homePath()) + QDir::separator());
    if (!answer || answer->trimmed().isEmpty()) {
        platform::ui().beep();
        platform::showMessage(QStringLiteral("Invalid name or export cancelled by user."),
                              platform::Icon::Information, ExportTitle);
        return;
    }
    const QString fileName = QDir::fromNativeSeparators(answer->trimmed());
    bool declined = false;
    const bool written = trapErrors(
        [this, &fileName, &declined] {
            if (!checkExportTarget(fileName, store::ListConnection, ExportTitle)) {
                declined = true;
                return;
            }
            const platform::BusyPointer busy;
            writeList(fileName);
        },
        ExportTitle);
    if (!written || declined)
        return;
    platform::ui().beep();
    platform::showMessage(QStringLiteral("Export completed."), platform::Icon::Information,
                          ExportTitle);
}

void frmList::writeList(const QString& fileName) const
{
    // The rows as they are now, read again by the list's own query.
    engine::Connection connection;
    connection.open(store::ListConnection);
    engine::Recordset rows;
    rows.open(m_sql->text(), &connection);

    const QString newLine = QStringLiteral("\r\n");
    QString text = m_request.title() + newLine;
    text += QStringLiteral("generated on ") +
            platform::format(platform::ui().today(), QStringLiteral("mmm-dd-yyyy")) + newLine;
    text += newLine + newLine;
    text += QStringLiteral("Date\t\tPeriod\t\tResult\t\tUnit") + newLine;
    text += newLine;
    for (int row = 0; row < rows.rowCount(); ++row) {
        text += cell(rows, row, Dates) + u'\t' + cell(rows, row, Period) + QStringLiteral("\t\t") +
                cell(rows, row, Result) + u'\t' + cell(rows, row, Units) + newLine;
    }

    // Written beside the target and renamed into place when complete, so a
    // failure never leaves half a file or destroys an existing one.
    platform::ReplacingFile file(fileName, connection.filePath());
    QStringEncoder encoder(QStringConverter::System);
    file.write(encoder.encode(text));
    file.commit();
}

void frmList::printList()
{
    trapErrors(
        [this] {
            const platform::BusyPointer busy;
            report::runReport(QStringLiteral("Test_Items_Grouping"), m_request.printShape(),
                              report::DataReport2(), QStringLiteral(" for ") + m_request.title());
        },
        QStringLiteral("Preview Report"));
}

} // namespace vantor::overview
