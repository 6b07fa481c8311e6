#include "frmAgents.h"

#include "platform/Conversions.h"
#include "platform/Error.h"
#include "platform/Format.h"
#include "platform/Ui.h"
#include "report/DataEnvironment.h"
#include "store/ConnectionStrings.h"
#include "widgets/CommandGuard.h"
#include "widgets/DataCombo.h"
#include "widgets/EnterKey.h"
#include "widgets/DataControl.h"
#include "widgets/Twips.h"

#include <QDir>
#include <QEvent>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include <cmath>

namespace vantor::convert {

using platform::Icon;

namespace {

const QString AgentsCommand = QStringLiteral("Agents");

// The items that have a factor, by name; also the record source of Adodc1.
const QString ItemQuery = QStringLiteral("SELECT Agents.ID, Agents.Agent FROM Agents ") +
                          QStringLiteral("WHERE (((Agents.[Conversion Factor]) Is Not Null)) ") +
                          QStringLiteral("ORDER BY Agents.Agent;");

template <typename T> T* named(T* widget, const char* name)
{
    widget->setObjectName(QLatin1String(name));
    return widget;
}

QLineEdit* shownField(QWidget* parent, const char* name)
{
    // The boxes show the chosen item; the converter never writes to the table.
    auto* box = named(new QLineEdit(parent), name);
    box->setReadOnly(true);
    box->setFocusPolicy(Qt::ClickFocus);
    return box;
}

} // namespace

frmAgents::frmAgents(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("frmAgents"));
    setWindowTitle(QStringLiteral("Unit Conversion"));
    setAttribute(Qt::WA_DeleteOnClose);

    createWidgets();
    createLayout();
    connect(m_agents, &widgets::DataCombo::choiceMade, this, &frmAgents::AgentsCombo_Change);
    connect(m_option1, &QRadioButton::clicked, this, &frmAgents::SetUnitLabel);
    connect(m_option2, &QRadioButton::clicked, this, &frmAgents::SetUnitLabel);
    connect(m_convert, &QPushButton::clicked, this, &frmAgents::cmdConvert_Click);
    connect(m_adodc1, &widgets::DataControl::error, this, [](int, const QString& description) {
        platform::showMessage(description, Icon::Critical);
    });
    load();
    setMinimumWidth(widgets::twipsToPixelsX(5400, this));
}

void frmAgents::createWidgets()
{
    m_adodc1 = named(new widgets::DataControl(this), "Adodc1");
    m_adodc1->setVisible(false);
    m_adodc1->setConnectionString(store::ListConnection);
    m_adodc1->setRecordSource(ItemQuery);
    m_adodc1->setLockType(engine::LockType::ReadOnly);
    m_agents = named(new widgets::DataCombo(this), "AgentsCombo");
    m_agents->setListField(QStringLiteral("Agent"));
    m_agents->setBoundColumn(QStringLiteral("ID"));
    m_agents->setMinimumContentsLength(24);

    m_factor = shownField(this, "txtConversionFactor");
    m_siUnit = shownField(this, "txtSIUnit");
    m_conventionalUnit = shownField(this, "txtConventionalUnit");

    m_frame = named(new QGroupBox(QStringLiteral("Set Conversion Type"), this), "Frame1");
    m_option1 = named(new QRadioButton(m_frame), "Option1");
    m_option2 = named(new QRadioButton(m_frame), "Option2");
    m_type1 = new QLabel(QStringLiteral("From Conventional Units to SI Units"), m_frame);
    m_type1->setObjectName(QStringLiteral("lblType(0)"));
    m_type2 = new QLabel(QStringLiteral("From SI Units to Conventional Units"), m_frame);
    m_type2->setObjectName(QStringLiteral("lblType(1)"));
    m_option1->setAccessibleName(m_type1->text());
    m_option2->setAccessibleName(m_type2->text());
    // A click on an option's caption chooses the option, as on the button.
    m_type1->installEventFilter(this);
    m_type2->installEventFilter(this);

    m_amount = named(new QLineEdit(this), "txtAmount");
    m_unit = named(new QLabel(QStringLiteral("Unit"), this), "lblUnit");
    m_unit->setMinimumWidth(widgets::twipsToPixelsX(1200, this));
    m_convert = named(new QPushButton(QStringLiteral("Convert"), this), "cmdConvert");
    widgets::pressOnEnter(this, m_convert);
    m_result = named(new QLabel(QStringLiteral("Result:"), this), "lblResult");
    QFont bold = m_result->font();
    bold.setBold(true);
    m_result->setFont(bold);
    m_result->setTextInteractionFlags(Qt::TextSelectableByMouse);
}

void frmAgents::createLayout()
{
    const auto label = [this](const QString& text, QWidget* buddy) {
        auto* l = new QLabel(text, this);
        l->setBuddy(buddy);
        return l;
    };
    auto* itemRow = new QHBoxLayout;
    itemRow->addWidget(named(label(QStringLiteral("Select Item:"), m_agents), "lblItem"));
    itemRow->addWidget(m_agents, 1);

    auto* fields = new QGridLayout;
    const QString captions[] = {QStringLiteral("Conversion Factor:"), QStringLiteral("SI Unit:"),
                                QStringLiteral("Conventional Unit:")};
    QLineEdit* boxes[] = {m_factor, m_siUnit, m_conventionalUnit};
    for (int i = 0; i < 3; ++i) {
        QLabel* caption = label(captions[i], boxes[i]);
        caption->setObjectName(QStringLiteral("lblFieldLabel(%1)").arg(i));
        fields->addWidget(caption, i, 0);
        fields->addWidget(boxes[i], i, 1);
    }

    auto* types = new QGridLayout(m_frame);
    types->addWidget(m_option1, 0, 0);
    types->addWidget(m_type1, 0, 1);
    types->addWidget(m_option2, 1, 0);
    types->addWidget(m_type2, 1, 1);
    types->setColumnStretch(1, 1);

    auto* amountRow = new QHBoxLayout;
    amountRow->addWidget(
        named(label(QStringLiteral("Enter conversion amount:"), m_amount), "lblAmount"));
    amountRow->addWidget(m_amount, 1);
    amountRow->addWidget(m_unit);
    auto* convertRow = new QHBoxLayout;
    convertRow->addStretch(1);
    convertRow->addWidget(m_convert);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(itemRow);
    layout->addLayout(fields);
    layout->addWidget(m_frame);
    layout->addLayout(amountRow);
    layout->addLayout(convertRow);
    layout->addWidget(m_result);
    layout->addWidget(m_adodc1);
}

void frmAgents::load()
{
    if (QFileInfo(QLatin1String(store::DatabaseFileName)).isFile()) {
        m_adodc1->refresh();
        m_agents->setRowSource(m_adodc1);
        Form_Load();
        return;
    }
    // The items live in the database: without one, say so once instead of
    // each reader reporting the missing file.
    m_option1->setChecked(true);
    platform::showMessage(
        QStringLiteral("There are no conversion items: they are kept in the database "
                       "\"%1\", and there is none in the folder\n%2")
            .arg(QLatin1String(store::DatabaseFileName),
                 QDir::toNativeSeparators(QDir::currentPath())),
        Icon::Information);
}

frmAgents::~frmAgents()
{
    // The shared command keeps its source for the next user, not its rows.
    report::DataEnvironment1().release(AgentsCommand);
}

bool frmAgents::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::MouseButtonRelease) {
        if (watched == m_type1)
            m_option1->click();
        else if (watched == m_type2)
            m_option2->click();
    }
    return QWidget::eventFilter(watched, event);
}

void frmAgents::Form_Load()
{
    widgets::runCommand([this] { InitializeComboBox(); });
    // Choosing the first item is a change of the list: its units load with it.
    if (!m_agents->boundText().isEmpty())
        AgentsCombo_Change();
    m_option1->setChecked(true);
    m_unit->setText(m_conventionalUnit->text());
}

void frmAgents::InitializeComboBox()
{
    engine::Connection connection;
    connection.open(store::CodeConnection);
    engine::Recordset items;
    items.open(ItemQuery, &connection);
    if (items.recordCount() == 0) {
        // No item has a factor: nothing to choose, and Convert says so.
        m_agents->setBoundText(QString());
        return;
    }
    items.moveFirst();
    const qint32 id = platform::toInteger32(items.value(QStringLiteral("ID")).toDouble());
    m_agents->setBoundText(QString::number(id));
}

void frmAgents::AgentsCombo_Change()
{
    ChangeRecord();
    SetUnitLabel();
}

void frmAgents::loadChosenItem()
{
    const qint32 id = platform::toInteger32(m_agents->boundText());
    const QString sql = QStringLiteral("SELECT * FROM Agents WHERE ID=") + QString::number(id);
    engine::Recordset& rs = report::DataEnvironment1().reopen(AgentsCommand, sql);
    if (rs.recordCount() != 0) {
        rs.moveFirst();
        m_conventionalUnit->setText(platform::valueText(rs.value(2)));
        m_factor->setText(platform::valueText(rs.value(3)));
        m_siUnit->setText(platform::valueText(rs.value(4)));
        return;
    }
    platform::ui().beep();
    platform::showMessage(QStringLiteral("There is no data for that selection."), Icon::Information,
                          QStringLiteral("Data Unavailable"));
    m_conventionalUnit->clear();
    m_factor->clear();
    m_siUnit->clear();
}

void frmAgents::ChangeRecord()
{
    try {
        loadChosenItem();
        return;
    } catch (const Error& e) {
        platform::ui().beep();
        if (e.number() != Error::TypeMismatch) {
            platform::showMessage(e.description(), Icon::None);
            return;
        }
    }
    // The list stands for no item: choose the first one and try once more.
    try {
        InitializeComboBox();
        loadChosenItem();
    } catch (const Error& e) {
        platform::showMessage(e.description(), Icon::None);
    }
}

void frmAgents::SetUnitLabel()
{
    m_unit->setText(m_option1->isChecked() ? m_conventionalUnit->text() : m_siUnit->text());
}

void frmAgents::cmdConvert_Click()
{
    if (m_amount->text().trimmed().isEmpty() || m_agents->boundValue().isNull()) {
        platform::showMessage(QStringLiteral("Please make sure all required selections are ") +
                                  QStringLiteral("made and the amount field is filled in."),
                              Icon::Exclamation, QStringLiteral("Incomplete Data Entry"));
        return;
    }
    widgets::runCommand(
        [this] {
            const double amount = platform::toDouble(m_amount->text());
            const double factor = platform::toDouble(m_factor->text());
            const bool toSI = m_option1->isChecked();
            if (!toSI && factor == 0)
                throw Error(Error::DivisionByZero, QStringLiteral("Division by zero"));
            const double result = toSI ? amount * factor : amount / factor;
            if (!std::isfinite(result))
                throw Error::overflow();
            m_result->setText(
                QStringLiteral("Result: ") + platform::format(result, QStringLiteral("##,##0.00")) +
                QStringLiteral(" ") + (toSI ? m_siUnit->text() : m_conventionalUnit->text()));
        },
        QStringLiteral("Convert Amount"));
}

} // namespace vantor::convert
