#pragma once

#include "engine/Connection.h"
#include "widgets/FlexGrid.h"
#include "widgets/FlexGridModel.h"

#include <QHash>
#include <QLabel>
#include <QPushButton>
#include <QWidget>

namespace vantor::overview {

// The frame of the two read-only summary windows: one connection and the
// rows of one query for the window's lifetime, shown in the flexible grid
// MSHFlexGrid1 with merged cells and a bold header, and the button cmdClose.
// The rows are read once, when the window opens; a change made elsewhere
// shows when the window is opened again.
class SummaryWindow : public QWidget
{
    Q_OBJECT

public:
    struct Setup
    {
        QString name;
        QString caption;
        QString sql;
        QList<int> widthsTwips; // per column; FlexGrid::DefaultWidth for the grid's own
        bool shadeColumns = false;
        // Per column, a text that must fit unshortened: the widths above are
        // at least this wide, whatever the font.
        QHash<int, QString> widestTexts;
    };

    ~SummaryWindow() override;

    widgets::FlexGrid* grid() const { return m_grid; }
    widgets::FlexGridModel* rows() const { return m_rows; }

protected:
    explicit SummaryWindow(const Setup& setup, QWidget* parent = nullptr);

    // Opens the rows and formats the grid; false after telling the user why.
    bool load();
    // The model the grid shows over the rows read; the rows themselves by default.
    virtual QAbstractItemModel* shownRows(widgets::FlexGridModel* rows) { return rows; }
    // Hook for a window's own finish after the common formatting.
    virtual void formatColumns() {}

    void resizeEvent(QResizeEvent* event) override;

private:
    void format();
    void showReading();

    Setup m_setup;
    engine::Connection m_connection;
    widgets::FlexGridModel* m_rows;
    widgets::FlexGrid* m_grid;
    QPushButton* m_close;
    QLabel* m_reading; // how far the rows are read, while they are
};

} // namespace vantor::overview
