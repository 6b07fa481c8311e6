#include "RecordNavigator.h"

#include "platform/Ui.h"
#include "widgets/CommandGuard.h"

#include <QHBoxLayout>
#include <QStyle>

namespace vantor::entry {

QString positionText(const engine::Recordset& recordset)
{
    if (!recordset.isOpen() || recordset.recordCount() <= 0)
        return QStringLiteral("No Records");
    const int position = recordset.absolutePosition();
    if (position < 1)
        return QStringLiteral("No Records");
    return QStringLiteral("Record: %1 of %2").arg(position).arg(recordset.recordCount());
}

RecordNavigator::RecordNavigator(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("picStatBox"));
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);
    const auto button = [this, layout](const char* name, QStyle::StandardPixmap icon,
                                       const QString& tip) {
        auto* b = new QPushButton(style()->standardIcon(icon), QString(), this);
        b->setObjectName(QLatin1String(name));
        b->setToolTip(tip);
        b->setAutoDefault(false);
        layout->addWidget(b);
        return b;
    };
    m_first = button("cmdFirst", QStyle::SP_MediaSkipBackward, tr("First record"));
    m_previous = button("cmdPrevious", QStyle::SP_MediaSeekBackward, tr("Previous record"));
    m_status = new QLabel(this);
    m_status->setObjectName(QStringLiteral("lblStatus"));
    m_status->setAlignment(Qt::AlignCenter);
    m_status->setFrameShape(QFrame::StyledPanel);
    m_status->setMinimumWidth(
        fontMetrics().horizontalAdvance(QStringLiteral("Record: 0000 of 0000")));
    layout->addWidget(m_status, 1);
    m_next = button("cmdNext", QStyle::SP_MediaSeekForward, tr("Next record"));
    m_last = button("cmdLast", QStyle::SP_MediaSkipForward, tr("Last record"));

    connect(m_first, &QPushButton::clicked, this, &RecordNavigator::moveFirst);
    connect(m_previous, &QPushButton::clicked, this, &RecordNavigator::movePrevious);
    connect(m_next, &QPushButton::clicked, this, &RecordNavigator::moveNext);
    connect(m_last, &QPushButton::clicked, this, &RecordNavigator::moveLast);
    m_status->setText(QStringLiteral("No Records"));
}

void RecordNavigator::setRecordset(engine::Recordset* recordset)
{
    if (m_recordset)
        disconnect(m_recordset, nullptr, this, nullptr);
    m_recordset = recordset;
    if (recordset) {
        connect(recordset, &engine::Recordset::moveComplete, this, &RecordNavigator::updateStatus);
        connect(recordset, &engine::Recordset::rowsReset, this, &RecordNavigator::updateStatus);
    }
    updateStatus();
}

void RecordNavigator::updateStatus()
{
    m_status->setText(m_recordset ? positionText(*m_recordset) : QStringLiteral("No Records"));
}

void RecordNavigator::run(const std::function<void(engine::Recordset&)>& move)
{
    if (!m_recordset || !m_recordset->isOpen())
        return;
    if (m_beforeMove && !m_beforeMove())
        return;
    widgets::runCommand([&] { move(*m_recordset); });
    updateStatus();
}

void RecordNavigator::moveFirst()
{
    run([](engine::Recordset& rs) { rs.moveFirst(); });
}

void RecordNavigator::moveLast()
{
    run([](engine::Recordset& rs) { rs.moveLast(); });
}

void RecordNavigator::moveNext()
{
    run([](engine::Recordset& rs) {
        if (!rs.eof())
            rs.moveNext();
        if (rs.eof() && rs.recordCount() > 0) {
            platform::ui().beep();
            rs.moveLast();
        }
    });
}

void RecordNavigator::movePrevious()
{
    run([](engine::Recordset& rs) {
        if (!rs.bof())
            rs.movePrevious();
        if (rs.bof() && rs.recordCount() > 0) {
            platform::ui().beep();
            rs.moveFirst();
        }
    });
}

} // namespace vantor::entry
