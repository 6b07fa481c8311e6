#include "dlgImport.h"

#include "engine/Connection.h"
#include "platform/Error.h"
#include "platform/Ui.h"
#include "store/ConnectionStrings.h"

#include <QAbstractButton>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressDialog>
#include <QPushButton>
#include <QRadioButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace vantor::importer {

namespace {

const QString Title = QStringLiteral("Import Data");
constexpr int SampleRows = 8;
constexpr int ShownBadLines = 1000;

template <typename T> T* named(T* widget, const char* name)
{
    widget->setObjectName(QLatin1String(name));
    return widget;
}

QLabel* buddyLabel(const QString& text, QWidget* buddy, QWidget* parent)
{
    auto* label = new QLabel(text, parent);
    label->setBuddy(buddy);
    return label;
}

int chosenColumn(const QComboBox* box)
{
    return box->currentData().toInt();
}

void choose(QComboBox* box, int column)
{
    const int index = box->findData(column);
    box->setCurrentIndex(index < 0 ? 0 : index);
}

QStringList storedPeriods()
{
    engine::Connection connection;
    connection.open(store::CodeConnection);
    requireResultTables(connection);
    engine::SqliteStatement rows(connection,
                                 QStringLiteral("SELECT Period FROM Periods ORDER BY ID"));
    QStringList periods;
    while (rows.step())
        periods << rows.text(0);
    return periods;
}

// Runs an action that may fail; the user reads why in a message box.
bool trap(const std::function<void()>& action)
{
    try {
        action();
        return true;
    } catch (const Error& error) {
        platform::ui().beep();
        platform::showMessage(error.description(), platform::Icon::Critical, Title);
        return false;
    }
}

// Moves the progress window along; false once the user has pressed Cancel.
Progress reportTo(QProgressDialog& window)
{
    return [&window](qint64 done, qint64 total) {
        window.setValue(int(done * 1000 / std::max<qint64>(total, 1)));
        return !window.wasCanceled();
    };
}

} // namespace

dlgImport::dlgImport(QWidget* parent) : QWizard(parent)
{
    setObjectName(QStringLiteral("dlgImport"));
    setWindowTitle(Title);
    setWizardStyle(QWizard::ClassicStyle);
    setOption(QWizard::NoBackButtonOnStartPage);
    setButtonText(QWizard::FinishButton, QStringLiteral("&Import"));
    setPage(FilePage, makeFilePage());
    setPage(ColumnsPage, makeColumnsPage());
    setPage(PreviewPage, makePreviewPage());
    button(QWizard::NextButton)->setObjectName(QStringLiteral("cmdNext"));
    button(QWizard::BackButton)->setObjectName(QStringLiteral("cmdBack"));
    button(QWizard::FinishButton)->setObjectName(QStringLiteral("cmdImport"));
    button(QWizard::CancelButton)->setObjectName(QStringLiteral("cmdCancel"));
}

QWizardPage* dlgImport::makeFilePage()
{
    auto* page = new QWizardPage(this);
    page->setObjectName(QStringLiteral("pageFile"));
    page->setTitle(QStringLiteral("Choose the file"));
    m_file = named(new QLineEdit(page), "txtFile");
    m_file->setMinimumWidth(fontMetrics().averageCharWidth() * 50);
    auto* browseButton = named(new QPushButton(QStringLiteral("&Browse..."), page), "cmdBrowse");
    browseButton->setAutoDefault(false);
    auto* row = new QHBoxLayout;
    row->addWidget(m_file, 1);
    row->addWidget(browseButton);
    auto* layout = new QVBoxLayout(page);
    layout->addWidget(named(buddyLabel(QStringLiteral("&File:"), m_file, page), "lblFile"));
    layout->addLayout(row);
    auto* note =
        named(new QLabel(QStringLiteral("Text with the values separated by commas, semicolons or "
                                        "tabs, as spreadsheets and laboratory portals save them, "
                                        "or a file of this program's export."),
                         page),
              "lblFileNote");
    note->setWordWrap(true);
    layout->addWidget(note);
    layout->addStretch();
    connect(browseButton, &QPushButton::clicked, this, &dlgImport::browse);
    return page;
}

QWizardPage* dlgImport::makeColumnsPage()
{
    auto* page = new QWizardPage(this);
    page->setObjectName(QStringLiteral("pageColumns"));
    page->setTitle(QStringLiteral("Say which column holds what"));
    createColumnsWidgets(page);

    auto* top = new QHBoxLayout;
    top->addWidget(buddyLabel(QStringLiteral("&Separator:"), m_delimiter, page));
    top->addWidget(m_delimiter);
    top->addSpacing(fontMetrics().averageCharWidth() * 2);
    top->addWidget(m_heading);
    top->addSpacing(fontMetrics().averageCharWidth() * 2);
    top->addWidget(m_long);
    top->addWidget(m_wide);
    top->addStretch();

    auto* layout = new QVBoxLayout(page);
    layout->addLayout(top);
    layout->addWidget(m_sample);
    layout->addLayout(columnsForm(page));

    connect(m_delimiter, &QComboBox::currentIndexChanged, this, [this] { splitAgain(); });
    connect(m_heading, &QCheckBox::toggled, this, [this] { splitAgain(); });
    connect(m_wide, &QRadioButton::toggled, this, [this] { updateLayout(); });
    connect(m_date, &QComboBox::currentIndexChanged, this, [this] { updateDateGuess(); });
    connect(m_dateForm, &QComboBox::activated, this,
            [this] { m_dateGuess->setText(QStringLiteral("as you chose")); });
    return page;
}

void dlgImport::createColumnsWidgets(QWizardPage* page)
{
    m_delimiter = named(new QComboBox(page), "cboDelimiter");
    m_delimiter->addItem(QStringLiteral("Tab"), QChar(u'\t'));
    m_delimiter->addItem(QStringLiteral("Semicolon"), QChar(u';'));
    m_delimiter->addItem(QStringLiteral("Comma"), QChar(u','));
    m_heading = named(new QCheckBox(QStringLiteral("First line holds the column &headings"), page),
                      "chkHeading");
    m_long = named(new QRadioButton(QStringLiteral("&One value a line"), page), "optLong");
    m_wide = named(new QRadioButton(QStringLiteral("One column &per test item"), page), "optWide");
    auto* layoutGroup = new QButtonGroup(page);
    layoutGroup->addButton(m_long);
    layoutGroup->addButton(m_wide);
    m_long->setChecked(true);

    m_sample = named(new QTableWidget(page), "grdSample");
    m_sample->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_sample->verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 4);
    m_sample->setMinimumHeight((fontMetrics().height() + 4) * (SampleRows + 2));

    auto columnBox = [page](const char* name, const QString& noneText) {
        auto* box = named(new QComboBox(page), name);
        box->setProperty("noneText", noneText);
        return box;
    };
    m_date = columnBox("cboDate", QStringLiteral("(choose)"));
    m_dateForm = named(new QComboBox(page), "cboDateForm");
    for (DateForm form : {DateForm::Iso, DateForm::MonthDayYear, DateForm::DayMonthYear})
        m_dateForm->addItem(dateFormName(form), int(form));
    m_dateGuess = named(new QLabel(page), "lblDateGuess");
    m_period = columnBox("cboPeriod", QStringLiteral("(none: the period below)"));
    m_defaultPeriod = named(new QComboBox(page), "cboDefaultPeriod");
    m_defaultPeriod->setEditable(true);
    m_test = columnBox("cboTest", QStringLiteral("(choose)"));
    m_result = columnBox("cboResult", QStringLiteral("(choose)"));
    m_unit = columnBox("cboUnit", QStringLiteral("(the test item's unit)"));
    m_remarks = columnBox("cboRemarks", QStringLiteral("(none)"));
    m_testColumns = named(new QListWidget(page), "lstTestColumns");
    m_testColumns->setMaximumHeight((fontMetrics().height() + 4) * 6);
    m_decimal = named(new QComboBox(page), "cboDecimal");
    m_decimal->addItem(QStringLiteral("Point (5.4)"), QChar(u'.'));
    m_decimal->addItem(QStringLiteral("Comma (5,4)"), QChar(u','));
}

// Which column holds what; the rows of one layout only are noted to be
// hidden with the other.
QFormLayout* dlgImport::columnsForm(QWizardPage* page)
{
    auto* dateRow = new QHBoxLayout;
    dateRow->addWidget(m_dateForm);
    dateRow->addWidget(m_dateGuess, 1);

    auto* form = new QFormLayout;
    auto addRow = [form, page](const QString& text, QWidget* field, QList<QWidget*>* only) {
        auto* label = buddyLabel(text, field, page);
        form->addRow(label, field);
        if (only)
            *only << label << field;
    };
    addRow(QStringLiteral("&Date column:"), m_date, nullptr);
    form->addRow(buddyLabel(QStringLiteral("Date &form:"), m_dateForm, page), dateRow);
    addRow(QStringLiteral("Pe&riod column:"), m_period, nullptr);
    addRow(QStringLiteral("Period of lines &without one:"), m_defaultPeriod, nullptr);
    addRow(QStringLiteral("&Test item column:"), m_test, &m_longOnly);
    addRow(QStringLiteral("Res&ult column:"), m_result, &m_longOnly);
    addRow(QStringLiteral("Un&it column:"), m_unit, &m_longOnly);
    addRow(QStringLiteral("Test item co&lumns:"), m_testColumns, &m_wideOnly);
    addRow(QStringLiteral("Re&marks column:"), m_remarks, nullptr);
    addRow(QStringLiteral("Decimal mar&k:"), m_decimal, nullptr);
    return form;
}

QWizardPage* dlgImport::makePreviewPage()
{
    auto* page = new QWizardPage(this);
    page->setObjectName(QStringLiteral("pagePreview"));
    page->setTitle(QStringLiteral("What the import adds"));
    page->setFinalPage(true);
    m_summary = named(new QLabel(page), "lblSummary");
    m_summary->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_summary->setWordWrap(true);
    m_badLines = named(new QTableWidget(0, 2, page), "grdBadLines");
    m_badLines->setHorizontalHeaderLabels(
        {QStringLiteral("Line"), QStringLiteral("Why it cannot be read")});
    m_badLines->horizontalHeader()->setStretchLastSection(true);
    m_badLines->verticalHeader()->hide();
    m_badLines->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_createNew = named(
        new QCheckBox(QStringLiteral("&Create the new test items and periods listed above"), page),
        "chkCreateNew");
    m_createNew->setChecked(true);
    m_skipBad = named(new QCheckBox(QStringLiteral("&Skip the lines that cannot be read"), page),
                      "chkSkipBad");
    auto* layout = new QVBoxLayout(page);
    layout->addWidget(m_summary);
    layout->addWidget(
        named(buddyLabel(QStringLiteral("&Lines that cannot be read:"), m_badLines, page),
              "lblBadLines"));
    layout->addWidget(m_badLines, 1);
    layout->addWidget(m_createNew);
    layout->addWidget(m_skipBad);
    connect(m_createNew, &QCheckBox::toggled, this, [this] {
        if (makePlan())
            showPlan();
    });
    return page;
}

void dlgImport::browse()
{
    const QString chosen = platform::ui().openFileName(
        Title, m_file->text(),
        QStringLiteral("Text files (*.csv *.txt *.tsv *.tab);;All files (*)"));
    if (!chosen.isEmpty())
        m_file->setText(QDir::toNativeSeparators(chosen));
}

int dlgImport::nextId() const
{
    switch (currentId()) {
    case FilePage:
        return m_source.isExport ? PreviewPage : ColumnsPage;
    case ColumnsPage:
        return PreviewPage;
    default:
        return -1;
    }
}

bool dlgImport::validateCurrentPage()
{
    switch (currentId()) {
    case FilePage:
        return readFile() && (!m_source.isExport || makePlan());
    case ColumnsPage: {
        const Mapping mapping = mappingFromControls();
        const QString problem = mappingProblem(mapping, m_table);
        if (!problem.isEmpty()) {
            platform::ui().beep();
            platform::showMessage(problem, platform::Icon::Exclamation, Title);
            return false;
        }
        m_mapping = mapping;
        return makePlan();
    }
    case PreviewPage:
        return importRows();
    default:
        return true;
    }
}

void dlgImport::initializePage(int id)
{
    QWizard::initializePage(id);
    if (id == PreviewPage)
        showPlan();
}

void dlgImport::done(int result)
{
    // Finish validates the page first and may stay open.
    QWizard::done(result);
    // The registry discards a window when it closes; a finished wizard only hides.
    if (!isVisible())
        close();
}

bool dlgImport::readFile()
{
    return trap([this] {
        const platform::BusyPointer busy;
        GuessedFile guessed =
            guessFile(readSourceFile(QDir::fromNativeSeparators(m_file->text().trimmed())));
        if (guessed.table.lines.isEmpty())
            throw Error(Error::InvalidProcedureCall,
                        QStringLiteral("The file \"%1\" holds no lines to import.")
                            .arg(QDir::toNativeSeparators(m_file->text().trimmed())));
        m_source = std::move(guessed.source);
        m_table = std::move(guessed.table);
        m_mapping = guessed.mapping.value_or(Mapping());
        const QChar delimiter = m_table.delimiter;
        const bool heading = m_table.hasHeading;
        const QStringList periods = storedPeriods();
        m_mapping.defaultPeriod = periods.value(0);

        m_filling = true;
        m_defaultPeriod->clear();
        m_defaultPeriod->addItems(periods);
        m_defaultPeriod->setCurrentText(m_mapping.defaultPeriod);
        m_delimiter->setCurrentIndex(m_delimiter->findData(delimiter));
        m_heading->setChecked(heading);
        m_filling = false;
        fillColumnChoices();
    });
}

// The separator or the heading changed: split the file again and offer its columns.
void dlgImport::splitAgain()
{
    if (m_filling || m_source.text.isEmpty())
        return;
    const platform::BusyPointer busy;
    m_table = splitText(m_source.text, m_delimiter->currentData().toChar(), m_heading->isChecked(),
                        !m_source.isExport);
    const QString defaultPeriod = m_defaultPeriod->currentText();
    auto guessed = mappingFromHeading(m_table);
    if (!guessed)
        guessed = wideMappingFromHeading(m_table);
    m_mapping = guessed.value_or(Mapping());
    m_mapping.defaultPeriod = defaultPeriod;
    fillColumnChoices();
}

void dlgImport::fillColumnChoices()
{
    m_filling = true;
    const int columns = m_table.columnCount();
    m_sample->clear();
    m_sample->setColumnCount(columns);
    const int rows = int(std::min<qsizetype>(m_table.lines.size(), SampleRows));
    m_sample->setRowCount(rows);
    QStringList headers;
    for (int c = 0; c < columns; ++c)
        headers << QStringLiteral("%1: %2").arg(c + 1).arg(m_table.columnName(c));
    m_sample->setHorizontalHeaderLabels(headers);
    QStringList lineNumbers;
    for (int r = 0; r < rows; ++r) {
        const TextLine& line = m_table.lines[r];
        lineNumbers << QString::number(line.number);
        for (int c = 0; c < line.fields.size(); ++c)
            m_sample->setItem(r, c, new QTableWidgetItem(line.fields[c]));
    }
    m_sample->setVerticalHeaderLabels(lineNumbers);
    m_sample->resizeColumnsToContents();

    for (QComboBox* box : {m_date, m_period, m_test, m_result, m_unit, m_remarks}) {
        box->clear();
        box->addItem(box->property("noneText").toString(), -1);
        for (int c = 0; c < columns; ++c)
            box->addItem(headers[c], c);
    }
    choose(m_date, m_mapping.date);
    choose(m_period, m_mapping.period);
    choose(m_test, m_mapping.test);
    choose(m_result, m_mapping.result);
    choose(m_unit, m_mapping.unit);
    choose(m_remarks, m_mapping.remarks);
    m_testColumns->clear();
    for (int c = 0; c < columns; ++c) {
        auto* item = new QListWidgetItem(headers[c], m_testColumns);
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
        item->setCheckState(m_mapping.testColumns.contains(c) ? Qt::Checked : Qt::Unchecked);
    }
    m_decimal->setCurrentIndex(m_decimal->findData(m_mapping.decimal));
    (m_mapping.layout == Layout::Wide ? m_wide : m_long)->setChecked(true);
    m_filling = false;
    updateLayout();
    updateDateGuess();
}

void dlgImport::updateDateGuess()
{
    if (m_filling)
        return;
    Mapping mapping = mappingFromControls();
    DateGuess guess;
    guessForms(mapping, m_table, QLocale(), &guess);
    m_dateForm->setCurrentIndex(m_dateForm->findData(int(guess.form)));
    m_decimal->setCurrentIndex(m_decimal->findData(mapping.decimal));
    m_dateGuess->setText(guess.ambiguous
                             ? QStringLiteral("either order fits the dates: the system's order")
                             : QStringLiteral("guessed from the dates"));
}

void dlgImport::updateLayout()
{
    const bool wide = m_wide->isChecked();
    for (QWidget* widget : std::as_const(m_longOnly))
        widget->setVisible(!wide);
    for (QWidget* widget : std::as_const(m_wideOnly))
        widget->setVisible(wide);
    if (m_filling)
        return;
    // Marking the test columns one by one is tedious: start from every
    // column that is not the date, period or remarks.
    if (wide) {
        bool anyChecked = false;
        for (int i = 0; i < m_testColumns->count(); ++i)
            anyChecked = anyChecked || m_testColumns->item(i)->checkState() == Qt::Checked;
        if (!anyChecked) {
            for (int i = 0; i < m_testColumns->count(); ++i) {
                const bool other = i != chosenColumn(m_date) && i != chosenColumn(m_period) &&
                                   i != chosenColumn(m_remarks);
                m_testColumns->item(i)->setCheckState(other ? Qt::Checked : Qt::Unchecked);
            }
        }
    }
    updateDateGuess();
}

Mapping dlgImport::mappingFromControls() const
{
    Mapping mapping;
    mapping.layout = m_wide->isChecked() ? Layout::Wide : Layout::Long;
    mapping.date = chosenColumn(m_date);
    mapping.period = chosenColumn(m_period);
    mapping.remarks = chosenColumn(m_remarks);
    if (mapping.layout == Layout::Long) {
        mapping.test = chosenColumn(m_test);
        mapping.result = chosenColumn(m_result);
        mapping.unit = chosenColumn(m_unit);
    } else {
        for (int i = 0; i < m_testColumns->count(); ++i)
            if (m_testColumns->item(i)->checkState() == Qt::Checked)
                mapping.testColumns << i;
    }
    mapping.dateForm = DateForm(m_dateForm->currentData().toInt());
    mapping.decimal = m_decimal->currentData().toChar();
    mapping.defaultPeriod = m_defaultPeriod->currentText().trimmed();
    return mapping;
}

std::unique_ptr<QProgressDialog> dlgImport::progressWindow(const QString& label)
{
    auto window = std::make_unique<QProgressDialog>(label, QStringLiteral("Cancel"), 0, 1000, this);
    window->setObjectName(QStringLiteral("prgImport"));
    window->setWindowTitle(Title);
    // Other windows would wait on the database meanwhile: keep them still.
    window->setWindowModality(Qt::ApplicationModal);
    window->setMinimumDuration(m_progressDelay);
    return window;
}

bool dlgImport::makePlan()
{
    bool planned = false;
    trap([this, &planned] {
        const platform::BusyPointer busy;
        const auto window = progressWindow(QStringLiteral("Reading the lines..."));
        engine::Connection connection;
        connection.open(store::CodeConnection);
        auto plan = planImport(connection, m_table, m_mapping,
                               PlanOptions{m_createNew->isChecked()}, reportTo(*window));
        if (plan) {
            m_plan = std::move(plan);
            planned = true;
        }
    });
    return planned;
}

void dlgImport::showPlan()
{
    if (!m_plan)
        return;
    const ImportPlan& plan = *m_plan;
    QString text =
        QStringLiteral("File: %1 (%2, %3 separated%4)\n")
            .arg(QDir::toNativeSeparators(m_file->text().trimmed()), m_source.encoding,
                 delimiterName(m_table.delimiter),
                 m_source.isExport ? QStringLiteral(", this program's export") : QString());
    text += QStringLiteral("Dates read as %1\n\n").arg(dateFormName(m_mapping.dateForm));
    text += previewText(plan, 0).section(QStringLiteral("Lines that cannot be read"), 0, 0);
    if (!plan.newTests.isEmpty() || !plan.newPeriods.isEmpty())
        text += QStringLiteral("\nNew test items and periods are added to the lists only when "
                               "the box below is ticked.");
    m_summary->setText(text.trimmed());

    const int shown = int(std::min<qsizetype>(plan.badLines.size(), ShownBadLines));
    m_badLines->setRowCount(shown);
    for (int i = 0; i < shown; ++i) {
        auto* line = new QTableWidgetItem(QString::number(plan.badLines[i].line));
        line->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
        m_badLines->setItem(i, 0, line);
        m_badLines->setItem(i, 1, new QTableWidgetItem(plan.badLines[i].reason));
    }
    m_badLines->resizeColumnToContents(0);
    findChild<QLabel*>(QStringLiteral("lblBadLines"))
        ->setText(plan.badLines.isEmpty()
                      ? QStringLiteral("&Lines that cannot be read: none")
                      : QStringLiteral("&Lines that cannot be read: %L1%2")
                            .arg(plan.badLines.size())
                            .arg(plan.badLines.size() > shown
                                     ? QStringLiteral(" (the first %L1 shown)").arg(shown)
                                     : QString()));
    m_skipBad->setEnabled(!plan.badLines.isEmpty());
}

bool dlgImport::importRows()
{
    if (!m_plan)
        return false;
    if (!m_plan->badLines.isEmpty() && !m_skipBad->isChecked()) {
        platform::ui().beep();
        platform::showMessage(
            (m_plan->badLines.size() == 1
                 ? QStringLiteral("1 line cannot be read.")
                 : QStringLiteral("%L1 lines cannot be read.").arg(m_plan->badLines.size())) +
                QStringLiteral(" Nothing was written; tick \"Skip the lines that cannot be "
                               "read\" to import the others."),
            platform::Icon::Exclamation, Title);
        return false;
    }
    std::optional<ImportOutcome> outcome;
    bool cancelled = false;
    const bool ok = trap([&] {
        const platform::BusyPointer busy;
        const auto window = progressWindow(QStringLiteral("Importing..."));
        engine::Connection connection;
        connection.open(store::CodeConnection);
        outcome = runImport(connection, m_table, m_mapping, PlanOptions{m_createNew->isChecked()},
                            m_skipBad->isChecked(), reportTo(*window));
        cancelled = !outcome;
    });
    if (!ok)
        return false;
    if (cancelled) {
        platform::showMessage(QStringLiteral("The import was cancelled; nothing was written."),
                              platform::Icon::Information, Title);
        return false;
    }
    platform::ui().beep();
    platform::showMessage(outcomeText(*outcome), platform::Icon::Information, Title);
    return true;
}

} // namespace vantor::importer
