#pragma once

#include "ImportPlan.h"

#include <QWizard>

#include <memory>
#include <optional>

class QButtonGroup;
class QCheckBox;
class QComboBox;
class QFormLayout;
class QLabel;
class QLineEdit;
class QListWidget;
class QProgressDialog;
class QRadioButton;
class QTableWidget;

namespace vantor::importer {

// "Import Data": reads results from a text file into the database in the
// working folder. The file page reads the file; the columns page (passed
// over for the program's own export) says which column holds what; the
// preview page shows what would be added and every line that cannot be
// read, and writes only when the user presses Import, in one transaction.
class dlgImport : public QWizard
{
    Q_OBJECT

public:
    enum Page { FilePage, ColumnsPage, PreviewPage };

    explicit dlgImport(QWidget* parent = nullptr);

    int nextId() const override;
    bool validateCurrentPage() override;
    // How long a long action runs before its progress window shows, in ms.
    void setProgressDelay(int ms) { m_progressDelay = ms; }

    void browse();

protected:
    void initializePage(int id) override;
    void done(int result) override;

private:
    QWizardPage* makeFilePage();
    QWizardPage* makeColumnsPage();
    void createColumnsWidgets(QWizardPage* page);
    QFormLayout* columnsForm(QWizardPage* page);
    QWizardPage* makePreviewPage();

    bool readFile();
    void splitAgain();
    void fillColumnChoices();
    void updateDateGuess();
    void updateLayout();
    Mapping mappingFromControls() const;
    bool makePlan();
    void showPlan();
    bool importRows();
    std::unique_ptr<QProgressDialog> progressWindow(const QString& label);

    QLineEdit* m_file = nullptr;
    QComboBox* m_delimiter = nullptr;
    QCheckBox* m_heading = nullptr;
    QRadioButton* m_long = nullptr;
    QRadioButton* m_wide = nullptr;
    QTableWidget* m_sample = nullptr;
    QComboBox* m_date = nullptr;
    QComboBox* m_dateForm = nullptr;
    QLabel* m_dateGuess = nullptr;
    QComboBox* m_period = nullptr;
    QComboBox* m_defaultPeriod = nullptr;
    QComboBox* m_test = nullptr;
    QComboBox* m_result = nullptr;
    QComboBox* m_unit = nullptr;
    QComboBox* m_remarks = nullptr;
    QListWidget* m_testColumns = nullptr;
    QComboBox* m_decimal = nullptr;
    QList<QWidget*> m_longOnly;
    QList<QWidget*> m_wideOnly;
    QLabel* m_summary = nullptr;
    QTableWidget* m_badLines = nullptr;
    QCheckBox* m_createNew = nullptr;
    QCheckBox* m_skipBad = nullptr;

    SourceText m_source;
    TextTable m_table;
    Mapping m_mapping;
    std::optional<ImportPlan> m_plan;
    int m_progressDelay = 1000;
    bool m_filling = false;
};

} // namespace vantor::importer
