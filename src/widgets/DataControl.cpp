#include "DataControl.h"

#include "platform/Error.h"

#include <QHBoxLayout>
#include <QStyle>

namespace vantor::widgets {

DataControl::DataControl(QWidget* parent) : QWidget(parent)
{
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);
    const auto button = [this, layout](QStyle::StandardPixmap icon, const QString& name,
                                       const QString& tip, void (engine::Recordset::*step)()) {
        auto* b = new QPushButton(style()->standardIcon(icon), QString(), this);
        b->setObjectName(name);
        b->setToolTip(tip);
        b->setFocusPolicy(Qt::NoFocus);
        connect(b, &QPushButton::clicked, this, [this, step] { move(step); });
        layout->addWidget(b);
    };
    button(QStyle::SP_MediaSkipBackward, QStringLiteral("btnFirst"), tr("First record"),
           &engine::Recordset::moveFirst);
    button(QStyle::SP_MediaSeekBackward, QStringLiteral("btnPrevious"), tr("Previous record"),
           &engine::Recordset::movePrevious);
    m_caption = new QLabel(this);
    m_caption->setAlignment(Qt::AlignCenter);
    layout->addWidget(m_caption, 1);
    button(QStyle::SP_MediaSeekForward, QStringLiteral("btnNext"), tr("Next record"),
           &engine::Recordset::moveNext);
    button(QStyle::SP_MediaSkipForward, QStringLiteral("btnLast"), tr("Last record"),
           &engine::Recordset::moveLast);
}

DataControl::~DataControl()
{
    // The recordset goes before the connection it reads from.
    m_recordset.reset();
    m_connection.reset();
}

void DataControl::setCaption(const QString& caption)
{
    m_fixedCaption = caption;
    m_caption->setText(caption);
}

// Without a caption of its own, the bar tells where the cursor is.
void DataControl::showPosition()
{
    if (!m_fixedCaption.isEmpty() || !m_recordset || !m_recordset->isOpen())
        return;
    const int n = m_recordset->recordCount();
    const int p = m_recordset->absolutePosition();
    m_caption->setText(n <= 0  ? tr("No Records")
                       : p < 1 ? QString()
                               : tr("%1 of %2").arg(p).arg(n));
}

bool DataControl::refresh()
{
    try {
        if (!m_connection || !m_connection->isOpen() ||
            m_connection->connectionString() != m_connectionString) {
            m_recordset.reset();
            m_connection = std::make_unique<engine::Connection>();
            m_connection->open(m_connectionString);
        }
        if (!m_recordset)
            m_recordset = std::make_unique<engine::Recordset>();
        m_recordset->open(m_recordSource, m_connection.get(), engine::CursorType::Static, m_lock);
    } catch (const Error& e) {
        emit error(e.number(), e.description());
        return false;
    }
    connect(m_recordset.get(), &engine::Recordset::moveComplete, this, &DataControl::showPosition,
            Qt::UniqueConnection);
    showPosition();
    emit refreshed();
    return true;
}

void DataControl::move(void (engine::Recordset::*step)())
{
    if (!m_recordset || !m_recordset->isOpen())
        return;
    try {
        // The bar never runs past either end.
        if (step == &engine::Recordset::moveNext &&
            m_recordset->absolutePosition() >= m_recordset->recordCount())
            return;
        if (step == &engine::Recordset::movePrevious && m_recordset->absolutePosition() <= 1)
            return;
        (m_recordset.get()->*step)();
    } catch (const Error& e) {
        emit error(e.number(), e.description());
    }
}

} // namespace vantor::widgets
