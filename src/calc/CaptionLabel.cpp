#include "CaptionLabel.h"

namespace vantor::calc {

using namespace Qt::Literals::StringLiterals;

CaptionLabel::CaptionLabel(QWidget* parent) : QLabel(parent)
{
    setTextFormat(Qt::PlainText);
    setWordWrap(true);
}

void CaptionLabel::setCaption(const QString& caption)
{
    m_caption = caption;
    QString shown = caption;
    shown.replace(u"\r\n"_s, u"\n"_s).replace(u'\r', u'\n');
    setText(shown);
}

} // namespace vantor::calc
