#include "frmAbout.h"

#include "DatabaseCheck.h"
#include "ProgramIcon.h"
#include "ProgramInfo.h"

#include <QFileInfo>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace vantor::app {

namespace {

QLabel* label(const QString& name, const QString& text, QWidget* parent)
{
    auto* result = new QLabel(text, parent);
    result->setObjectName(name);
    result->setWordWrap(true);
    return result;
}

} // namespace

frmAbout::frmAbout(SystemInfoLauncher systemInfo, QWidget* parent)
    : QDialog(parent), m_systemInfo(std::move(systemInfo))
{
    setObjectName(QStringLiteral("frmAbout"));
    setWindowTitle(QStringLiteral("About Vantor"));
    setWindowIcon(programIcon());

    auto* icon = new QLabel(this);
    icon->setObjectName(QStringLiteral("picIcon"));
    icon->setPixmap(programPixmap(48));
    icon->setAlignment(Qt::AlignTop | Qt::AlignHCenter);
    auto* top = new QHBoxLayout;
    top->setSpacing(16);
    top->addWidget(icon);
    top->addLayout(createTexts(), 1);

    auto* line = new QFrame(this);
    line->setObjectName(QStringLiteral("Line1"));
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Sunken);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top, 1);
    layout->addWidget(line);
    layout->addLayout(createButtons());

    setFixedSize(QSize(400, 0).expandedTo(sizeHint()).expandedTo(QSize(400, 200)));
}

// The program's name, version and description, and the database in use.
QVBoxLayout* frmAbout::createTexts()
{
    auto* title = label(QStringLiteral("lblTitle"), program::ProductName, this);
    QFont titleFont = title->font();
    titleFont.setPointSizeF(titleFont.pointSizeF() * 1.5);
    titleFont.setBold(true);
    title->setFont(titleFont);
    auto* version = label(QStringLiteral("lblVersion"), program::versionText(), this);
    auto* description = label(QStringLiteral("lblDescription"), program::Description, this);
    // Which file the windows read, so that a user can find, back up or move it.
    const QString file = QDir::toNativeSeparators(databaseFile());
    auto* database = label(QStringLiteral("lblDatabase"),
                           QFileInfo(databaseFile()).isFile()
                               ? QStringLiteral("Database: %1").arg(file)
                               : QStringLiteral("Database: none yet (it would be %1)").arg(file),
                           this);
    database->setTextInteractionFlags(Qt::TextSelectableByMouse);

    auto* texts = new QVBoxLayout;
    texts->addWidget(title);
    texts->addWidget(version);
    texts->addSpacing(12);
    texts->addWidget(description);
    texts->addSpacing(12);
    texts->addWidget(database);
    texts->addStretch(1);
    return texts;
}

QHBoxLayout* frmAbout::createButtons()
{
    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setObjectName(QStringLiteral("cmdOK"));
    ok->setDefault(true);
    auto* sysInfo = new QPushButton(QStringLiteral("&System Info..."), this);
    sysInfo->setObjectName(QStringLiteral("cmdSysInfo"));
    connect(ok, &QPushButton::clicked, this, &QWidget::close);
    connect(sysInfo, &QPushButton::clicked, this, [this] { m_systemInfo.StartSysInfo(); });

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(ok);
    buttons->addWidget(sysInfo);
    return buttons;
}

} // namespace vantor::app
