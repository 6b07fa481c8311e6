#include "RecordingUi.h"

namespace vantor::platform {

RecordingUi::RecordingUi() : m_now(QDateTime(QDate(2026, 12, 6), QTime(9, 30)))
{
}

Answer RecordingUi::messageBox(const QString& text, Buttons buttons, Icon icon,
                               const QString& title)
{
    m_messages.append({text, title.isEmpty() ? QStringLiteral("Vantor") : title, icon, buttons,
                       m_beeps});
    if (!m_answers.isEmpty())
        return m_answers.dequeue();
    switch (buttons) {
    case Buttons::YesNo:
    case Buttons::YesNoCancel:
        return Answer::Yes;
    case Buttons::RetryCancel:
        return Answer::Retry;
    case Buttons::AbortRetryIgnore:
        return Answer::Abort;
    case Buttons::Ok:
    case Buttons::OkCancel:
        break;
    }
    return Answer::Ok;
}

void RecordingUi::setBusy(bool busy)
{
    if (busy != m_busy)
        ++m_busyChanges;
    m_busy = busy;
}

std::optional<QString> RecordingUi::inputBox(const QString& prompt, const QString& title,
                                             const QString& defaultText)
{
    m_prompts.append({prompt, title, defaultText});
    if (!m_inputs.isEmpty())
        return m_inputs.dequeue();
    return QString();
}

QString RecordingUi::openFileName(const QString& caption, const QString& startPath,
                                  const QString& filter)
{
    m_prompts.append({caption, filter, startPath});
    return m_fileNames.isEmpty() ? QString() : m_fileNames.dequeue();
}

QString RecordingUi::saveFileName(const QString& caption, const QString& startPath,
                                  const QString& filter)
{
    return openFileName(caption, startPath, filter);
}

bool RecordingUi::startProgram(const QString& program, const QStringList& arguments)
{
    m_started.append((QStringList{program} + arguments).join(QLatin1Char(' ')));
    return m_startResult;
}

void RecordingUi::clear()
{
    m_messages.clear();
    m_prompts.clear();
    m_started.clear();
    m_beeps = 0;
    m_busyChanges = 0;
}

} // namespace vantor::platform
