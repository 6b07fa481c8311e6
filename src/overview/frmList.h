#pragma once

#include "ListRequest.h"

#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QWidget>

#include <memory>

namespace vantor::engine {
class Connection;
class Recordset;
} // namespace vantor::engine

namespace vantor::widgets {
class DataGrid;
}

namespace vantor::overview {

// "Item Results": the values of the filtered item list under a title that
// repeats the request, with Export (a tab-delimited file) and Print (the
// single item report of the same rows).
//
// While it is open the item dialog is out of use, so that the list and the
// inputs it came from cannot part.
class frmList : public QWidget
{
    Q_OBJECT

public:
    explicit frmList(QWidget* parent = nullptr);
    ~frmList() override;

    // Shows the rows of a request, read on their own connection; the window
    // keeps both.
    void showList(const ListRequest& request, std::unique_ptr<engine::Connection> connection,
                  std::unique_ptr<engine::Recordset> rows);

    // cmdExport: asks for a file name and writes the listed rows to it.
    void exportList();
    // cmdPrint: previews the single item report of the listed rows.
    void printList();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void addFlagColumn();
    void writeList(const QString& fileName) const;
    void releaseDialog();

    ListRequest m_request;
    QLabel* m_title;
    widgets::DataGrid* m_grid;
    QLineEdit* m_sql;
    QPushButton* m_export;
    QPushButton* m_print;
    QPointer<QWidget> m_dialog; // the item dialog, out of use while this is open
    // The connection outlives the rows read on it.
    std::unique_ptr<engine::Connection> m_connection;
    std::unique_ptr<engine::Recordset> m_rows;
};

} // namespace vantor::overview
