#pragma once

#include "calc/Calculator.h"
#include "calc/Catalog.h"
#include "calc/FormValues.h"
#include "platform/RecordingUi.h"

#include <QStringList>

#include <optional>

// One Calculate of the plain calculations, as a window would run it, with
// what the user would have seen and heard.
struct CalcRun
{
    bool selected = false;
    int errorCount = 0;
    std::optional<QString> result;
    std::optional<QString> moreInfo;
    QList<vantor::platform::RecordingUi::Message> messages;
    int beeps = 0;

    QStringList messageTexts() const
    {
        QStringList texts;
        for (const auto& message : messages)
            texts.append(message.text);
        return texts;
    }
};

inline vantor::calc::CalculatorKind kindOfTitle(const QString& title)
{
    const vantor::calc::CalculatorEntry* entry = vantor::calc::Catalog::find(title);
    const int category = entry ? entry->category : 2;
    return category == 0   ? vantor::calc::CalculatorKind::Heart
           : category == 1 ? vantor::calc::CalculatorKind::Liver
                           : vantor::calc::CalculatorKind::Kidney;
}

// "Control=text" pairs into the form.
inline void fillForm(vantor::calc::FormValues& form, const QStringList& assignments)
{
    for (const QString& assignment : assignments) {
        const qsizetype eq = assignment.indexOf(u'=');
        form.setText(assignment.left(eq), assignment.mid(eq + 1));
    }
}

inline CalcRun runCalculation(vantor::calc::FormValues& form, const QString& title,
                              vantor::calc::CalculatorKind kind)
{
    vantor::platform::RecordingUi recorder;
    vantor::platform::setUi(&recorder);
    CalcRun run;
    run.selected = vantor::calc::Calculator::calculate(kind, title, form);
    vantor::platform::setUi(nullptr);
    run.errorCount = form.errorCount();
    run.result = form.result();
    run.moreInfo = form.moreInfo();
    run.messages = recorder.messages();
    run.beeps = recorder.beeps();
    return run;
}

inline CalcRun runCalculation(const QString& title, const QStringList& assignments)
{
    vantor::calc::FormValues form;
    fillForm(form, assignments);
    return runCalculation(form, title, kindOfTitle(title));
}
