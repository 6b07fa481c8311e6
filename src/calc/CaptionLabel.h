#pragma once

#include <QLabel>

namespace vantor::calc {

// A label whose caption may break lines with a lone carriage return, as the
// interpretation texts do. caption() gives the text exactly as written; the
// label shows each carriage return as a line break.
class CaptionLabel : public QLabel
{
    Q_OBJECT
    Q_PROPERTY(QString caption READ caption WRITE setCaption)

public:
    explicit CaptionLabel(QWidget* parent = nullptr);

    const QString& caption() const { return m_caption; }
    void setCaption(const QString& caption);

private:
    QString m_caption;
};

} // namespace vantor::calc
