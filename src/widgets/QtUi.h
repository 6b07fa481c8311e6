#pragma once

#include "platform/Ui.h"

namespace vantor::widgets {

// The seam as the user meets it: real message boxes, the system beep, the
// wait cursor, Qt's input and file dialogs, detached processes and the
// wall clock.
class QtUi : public platform::Ui
{
public:
    platform::Answer messageBox(const QString& text, platform::Buttons buttons, platform::Icon icon,
                                const QString& title = {}) override;
    void beep() override;
    void setBusy(bool busy) override;
    std::optional<QString> inputBox(const QString& prompt, const QString& title,
                                    const QString& defaultText) override;
    QString openFileName(const QString& caption, const QString& startPath,
                         const QString& filter) override;
    QString saveFileName(const QString& caption, const QString& startPath,
                         const QString& filter) override;
    bool startProgram(const QString& program, const QStringList& arguments) override;
    int splashDelay() const override { return 3000; }
    QDateTime now() const override;

    // The title a box shows when it names none.
    static QString boxTitle(const QString& title);

private:
    bool m_busy = false;
};

} // namespace vantor::widgets
