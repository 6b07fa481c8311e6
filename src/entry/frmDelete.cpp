#include "frmDelete.h"

#include "RecordActions.h"
#include "SelectionDelete.h"
#include "TabStopDelegate.h"

#include "engine/Connection.h"
#include "engine/Recordset.h"
#include "platform/Conversions.h"
#include "platform/Error.h"
#include "platform/Ui.h"
#include "store/ConnectionStrings.h"
#include "widgets/DataControl.h"
#include "widgets/Twips.h"

#include <QFontMetricsF>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace vantor::entry {

namespace {

const QString ListSource = QStringLiteral(
    "SELECT Results.ID, Format([Results].[Date],'Medium Date') & \", \" & [Periods].[Period] AS "
    "[Date and Period]\r\n"
    "FROM Periods INNER JOIN Results ON Periods.ID = Results.Period\r\n"
    "ORDER BY Results.ID;\r\n");

const QString HeaderText = QStringLiteral("Record:    Date     Period");

QString instructionsText()
{
    const QString paragraphBreak = QStringLiteral("\r\r");
    return QStringLiteral("Select record(s) for deletion from the list.") + paragraphBreak +
           QStringLiteral(
               "There are a number of ways records can be selected. Pressing SHIFT and clicking "
               "the mouse or pressing SHIFT and one of the arrow keys (UP ARROW, DOWN ARROW, LEFT "
               "ARROW, and RIGHT ARROW) extends the selection from the previously selected item "
               "to the current item. Pressing CTRL and clicking the mouse selects or deselects an "
               "item in the list.") +
           paragraphBreak + QStringLiteral("Press the Delete Selected Records button when done.");
}

} // namespace

frmDelete::frmDelete(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("frmDelete"));
    setWindowTitle(QStringLiteral("Multi Delete Records"));
    setAttribute(Qt::WA_DeleteOnClose);

    m_data = makeListData(this, "Adodc1", ListSource);

    m_header = new QLabel(this);
    m_header->setObjectName(QStringLiteral("Label1"));
    m_instructions = new QLabel(this);
    m_instructions->setObjectName(QStringLiteral("Label2"));
    m_instructions->setWordWrap(true);
    m_instructions->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    m_list = new QListWidget(this);
    m_list->setObjectName(QStringLiteral("List1"));
    m_list->setSelectionMode(QAbstractItemView::ExtendedSelection);
    // The dates line up under "Date" of the header, the ids under "Record:".
    auto* delegate = new TabStopDelegate(m_list);
    delegate->setTabStop(
        QFontMetricsF(m_list->font())
            .horizontalAdvance(HeaderText.left(HeaderText.indexOf(QLatin1String("Date")))));
    m_list->setItemDelegate(delegate);
    m_header->setIndent(m_list->frameWidth() + TabStopDelegate::textIndent(m_list));
    m_delete = new QPushButton(QStringLiteral("Delete Selected Records"), this);
    m_delete->setObjectName(QStringLiteral("cmdDelete"));
    m_delete->setAutoDefault(false);

    // The list with its header on the left, the instructions and the button
    // on the right.
    auto* layout = new QHBoxLayout(this);
    auto* left = new QVBoxLayout;
    left->addWidget(m_header);
    left->addWidget(m_list, 1);
    layout->addLayout(left, 1);
    auto* right = new QVBoxLayout;
    right->addWidget(m_instructions);
    right->addStretch(1);
    right->addWidget(m_delete);
    layout->addLayout(right, 1);

    connect(m_delete, &QPushButton::clicked, this, &frmDelete::deleteSelected);
    connect(m_data, &widgets::DataControl::error, this, showDataError);

    setFixedSize(widgets::twipsToPixelsX(7800, this), widgets::twipsToPixelsY(5400, this));
}

bool frmDelete::load()
{
    if (!m_data->refresh())
        return false; // the data control has told the user why
    if (m_data->recordset()->recordCount() < 1) {
        platform::ui().beep();
        platform::showMessage(QStringLiteral("There are no records in the database!"),
                              platform::Icon::Critical, QStringLiteral("No Records Found"));
        return false;
    }
    try {
        const platform::BusyPointer busy;
        RefreshListBox();
    } catch (const Error& e) {
        platform::showMessage(e.description(), platform::Icon::Critical);
        return false;
    }
    m_header->setText(HeaderText);
    // A lone carriage return is a line break to the user; Qt breaks on line feeds.
    m_instructions->setText(instructionsText().replace(u'\r', u'\n'));
    return true;
}

void frmDelete::RefreshListBox()
{
    m_list->clear();
    engine::Recordset* rs = m_data->recordset();
    if (!rs)
        return;
    rs->requery();
    rs->moveFirst();
    QStringList entries;
    for (; !rs->eof(); rs->moveNext())
        entries << rs->value(0).toString() + QStringLiteral(":\t") + rs->value(1).toString();
    m_list->addItems(entries);
    m_list->update();
}

QList<qint32> frmDelete::selectedIds() const
{
    QList<qint32> ids;
    for (int row = 0; row < m_list->count(); ++row) {
        const QListWidgetItem* item = m_list->item(row);
        if (!item->isSelected())
            continue;
        const QString text = item->text();
        ids << platform::toInteger32(text.left(text.indexOf(u':')));
    }
    return ids;
}

void frmDelete::deleteSelected()
{
    const QString title = windowTitle();
    const auto fail = [&title](const Error& e) {
        platform::ui().beep();
        platform::showMessage(e.description(), platform::Icon::Critical, title);
    };
    if (m_list->selectedItems().isEmpty()) {
        platform::ui().beep();
        platform::showMessage(QStringLiteral("Nothing has been selected! Please make ") +
                                  QStringLiteral("a selection and try again."),
                              platform::Icon::Exclamation, title);
        return;
    }
    qsizetype count = 0;
    try {
        const platform::BusyPointer busy;
        const QList<qint32> ids = selectedIds();
        count = ids.size();
        engine::Connection connection;
        connection.open(store::CodeConnection);
        deleteSelectedOccasions(connection, ids);
    } catch (const Error& e) {
        fail(e);
        return;
    }
    platform::ui().beep();
    platform::showMessage(count == 1 ? QStringLiteral("Record Deleted!")
                                     : QStringLiteral("Records Deleted!"),
                          platform::Icon::Information, title);
    try {
        const platform::BusyPointer busy;
        RefreshListBox();
    } catch (const Error& e) {
        fail(e);
    }
}

QWidget* createDeleteWindow()
{
    auto* window = new frmDelete;
    if (!window->load()) {
        delete window;
        return nullptr;
    }
    return window;
}

} // namespace vantor::entry
