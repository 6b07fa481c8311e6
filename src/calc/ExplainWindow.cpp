#include "ExplainWindow.h"

#include "CaptionLabel.h"

#include <QLayout>
#include <QVBoxLayout>

namespace vantor::calc {

using namespace Qt::Literals::StringLiterals;

ExplainWindow::ExplainWindow(QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint)
{
    setObjectName(u"frmExplain"_s);
    setWindowTitle(u"Explanation"_s);

    m_explanation = new CaptionLabel(this);
    m_explanation->setObjectName(u"Explanation"_s);
    m_explanation->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    m_explanation->setMinimumHeight(m_explanation->fontMetrics().lineSpacing() * 8);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_explanation, 1);
    setFixedWidth(420);
}

QString ExplainWindow::explanation() const
{
    return m_explanation->caption();
}

void ExplainWindow::setExplanation(const QString& text)
{
    m_explanation->setCaption(text);
    const int needed = layout()->totalHeightForWidth(width());
    if (needed > height())
        resize(width(), needed);
}

} // namespace vantor::calc
