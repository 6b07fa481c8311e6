#pragma once

#include <QWidget>

namespace vantor::calc {

class CaptionLabel;

// frmExplain: one wrapped label, Explanation, written by the selector's
// Explain and by the renal window's More Info.
class ExplainWindow : public QWidget
{
    Q_OBJECT

public:
    explicit ExplainWindow(QWidget* parent = nullptr);

    QString explanation() const;
    void setExplanation(const QString& text);

private:
    CaptionLabel* m_explanation;
};

} // namespace vantor::calc
