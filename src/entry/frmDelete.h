#pragma once

#include <QList>
#include <QWidget>

class QLabel;
class QListWidget;
class QPushButton;

namespace vantor::widgets {
class DataControl;
}

namespace vantor::entry {

// The multi-delete window: every occasion in the order it was entered, any
// number of them picked (Shift and Ctrl extend the selection) and deleted in
// one action, each with all its test values.
class frmDelete : public QWidget
{
    Q_OBJECT

public:
    explicit frmDelete(QWidget* parent = nullptr);

    // The load routine: fills the list, or tells the user that there is
    // nothing to delete and returns false (the window is then not shown).
    bool load();

    // Re-reads the occasions into the list; throws vantor::Error.
    void RefreshListBox();
    // The "Delete Selected Records" button.
    void deleteSelected();

    // The occasion ids of the selected entries, in list order; throws
    // vantor::Error for an entry that does not start with an id.
    QList<qint32> selectedIds() const;

private:
    widgets::DataControl* m_data;
    QLabel* m_header;
    QLabel* m_instructions;
    QListWidget* m_list;
    QPushButton* m_delete;
};

// Loads the multi-delete window; nullptr (after telling the user) when the
// database holds no occasion to delete.
QWidget* createDeleteWindow();

} // namespace vantor::entry
