#pragma once

#include "CalculatorForm.h"

#include <QHash>
#include <optional>

namespace vantor::calc {

// A form without a window: control texts from a table, and what the
// calculation wrote. A result never written stays nullopt.
class FormValues : public CalculatorForm
{
public:
    FormValues() = default;
    explicit FormValues(const QHash<QString, QString>& texts) : m_texts(texts) {}

    void setText(const QString& control, const QString& text) { m_texts.insert(control, text); }
    QString text(const QString& control) const override { return m_texts.value(control); }

    void setErrorCount(int count) override { m_errorCount = count; }
    void setResult(const QString& text) override { m_result = text; }
    void setMoreInfo(const QString& text) override { m_moreInfo = text; }

    int errorCount() const { return m_errorCount; }
    const std::optional<QString>& result() const { return m_result; }
    const std::optional<QString>& moreInfo() const { return m_moreInfo; }

private:
    QHash<QString, QString> m_texts;
    int m_errorCount = 0;
    std::optional<QString> m_result;
    std::optional<QString> m_moreInfo;
};

} // namespace vantor::calc
