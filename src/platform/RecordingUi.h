#pragma once

#include "Ui.h"

#include <QList>
#include <QQueue>

namespace vantor::platform {

// The seam for tests: records every message, beep, busy change and prompt,
// and answers from scripted queues (Ok / Yes, empty input, no file by default).
class RecordingUi : public Ui
{
public:
    struct Message
    {
        QString text;
        QString title; // as shown: "Vantor" when none was given
        Icon icon;
        Buttons buttons;
        int beepsBefore; // beeps sounded before this message, in total
    };
    struct Prompt
    {
        QString prompt;
        QString title;
        QString defaultText;
    };

    RecordingUi();

    Answer messageBox(const QString& text, Buttons buttons, Icon icon,
                      const QString& title = {}) override;
    void beep() override { ++m_beeps; }
    void setBusy(bool busy) override;
    std::optional<QString> inputBox(const QString& prompt, const QString& title,
                                    const QString& defaultText) override;
    QString openFileName(const QString& caption, const QString& startPath,
                         const QString& filter) override;
    QString saveFileName(const QString& caption, const QString& startPath,
                         const QString& filter) override;
    bool startProgram(const QString& program, const QStringList& arguments) override;
    int splashDelay() const override { return m_splashDelay; }
    QDateTime now() const override { return m_now; }

    // Scripting
    void pushAnswer(Answer answer) { m_answers.enqueue(answer); }
    void pushInput(std::optional<QString> text) { m_inputs.enqueue(std::move(text)); }
    void pushFileName(const QString& name) { m_fileNames.enqueue(name); }
    void setStartProgramResult(bool ok) { m_startResult = ok; }
    void setSplashDelay(int ms) { m_splashDelay = ms; }
    void setNow(const QDateTime& now) { m_now = now; }

    // What happened
    const QList<Message>& messages() const { return m_messages; }
    // The oldest message, taken off the list (a question before the outcome).
    Message takeFirstMessage() { return m_messages.takeFirst(); }
    const QList<Prompt>& prompts() const { return m_prompts; }
    QStringList startedPrograms() const { return m_started; }
    int beeps() const { return m_beeps; }
    bool isBusy() const { return m_busy; }
    int busyChanges() const { return m_busyChanges; }
    void clear();

private:
    QList<Message> m_messages;
    QList<Prompt> m_prompts;
    QQueue<Answer> m_answers;
    QQueue<std::optional<QString>> m_inputs;
    QQueue<QString> m_fileNames;
    QStringList m_started;
    bool m_startResult = true;
    int m_beeps = 0;
    bool m_busy = false;
    int m_busyChanges = 0;
    int m_splashDelay = 0;
    QDateTime m_now;
};

} // namespace vantor::platform
