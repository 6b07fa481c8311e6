#include "MedCalcWindow.h"

#include "CalcWindows.h"
#include "CalculatorWindow.h"
#include "Catalog.h"
#include "ExplainWindow.h"

#include "platform/Error.h"
#include "platform/Ui.h"

#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>

namespace vantor::calc {

using namespace Qt::Literals::StringLiterals;

MedCalcWindow::MedCalcWindow(QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint)
{
    setObjectName(u"frmMedCalc"_s);
    setWindowTitle(u"Medical Calculator"_s);

    m_categoryLabel = new QLabel(u"Select a category:"_s, this);
    m_categoryLabel->setObjectName(u"CategoryLabel"_s);
    m_category = new QComboBox(this);
    m_category->setObjectName(u"Category"_s);
    m_subCat = new QListWidget(this);
    m_subCat->setObjectName(u"SubCat"_s);
    m_explain = new QPushButton(u"Explain"_s, this);
    m_explain->setObjectName(u"Explain"_s);
    m_proceed = new QPushButton(u"Proceed"_s, this);
    m_proceed->setObjectName(u"Proceed"_s);
    m_explain->setEnabled(false);
    m_proceed->setEnabled(false);

    // Form_Load: the categories, none chosen yet.
    m_category->addItems(Catalog::categories());
    m_category->setCurrentIndex(-1);

    auto* layout = new QGridLayout(this);
    layout->addWidget(m_categoryLabel, 0, 0, 1, 2);
    layout->addWidget(m_category, 1, 0, 1, 2);
    layout->addWidget(m_subCat, 2, 0, 1, 2);
    layout->addWidget(m_explain, 3, 0);
    layout->addWidget(m_proceed, 3, 1);
    setMinimumSize(420, 320);

    connect(m_category, &QComboBox::currentIndexChanged, this, &MedCalcWindow::categoryClick);
    connect(m_subCat, &QListWidget::itemSelectionChanged, this, &MedCalcWindow::subCatClick);
    connect(m_explain, &QPushButton::clicked, this, &MedCalcWindow::explainClick);
    connect(m_proceed, &QPushButton::clicked, this, &MedCalcWindow::proceedClick);
}

void MedCalcWindow::categoryClick()
{
    m_proceed->setEnabled(false);
    m_explain->setEnabled(false);
    const int category = m_category->currentIndex();
    if (category < 0 || category >= Catalog::categories().size())
        return;
    m_subCat->clear();
    for (const CalculatorEntry& entry : Catalog::calculators(category))
        m_subCat->addItem(entry.listItem);
}

void MedCalcWindow::subCatClick()
{
    // Enabled only once a calculator is chosen in a filled list.
    const bool chosen = m_subCat->count() > 0 && m_subCat->currentRow() >= 0 &&
                        !m_subCat->selectedItems().isEmpty();
    m_proceed->setEnabled(chosen);
    m_explain->setEnabled(chosen);
}

void MedCalcWindow::explainClick()
{
    const CalculatorEntry* entry =
        Catalog::entry(m_category->currentIndex(), m_subCat->currentRow());
    const QString text = entry ? entry->explanation : QString();
    try {
        showExplainWindow()->setExplanation(text);
    } catch (const vantor::Error& error) {
        platform::showMessage(error.description(), platform::Icon::Critical);
    }
}

void MedCalcWindow::proceedClick()
{
    const int category = m_category->currentIndex();
    try {
        CalculatorWindow* window = loadCalculatorWindow(category);
        if (!window)
            return;
        // A window still open from an earlier calculator goes back to its
        // design first, so no input stays disabled for this one.
        window->restoreDesignStates();
        const CalculatorEntry* entry = Catalog::entry(category, m_subCat->currentRow());
        if (entry)
            window->applyChanges(entry->changes);
        const QString title = entry ? entry->title : QString();
        // Another calculator's number and verdict must not stand under this title.
        if (window->title() != title)
            window->clearOutput();
        showCalculatorWindow(category);
        window->setTitle(title);
    } catch (const vantor::Error& error) {
        platform::showMessage(error.description(), platform::Icon::Critical);
    }
}

} // namespace vantor::calc
