#pragma once

#include <functional>

#include <QDate>
#include <QDateTime>
#include <QString>
#include <QStringList>

#include <optional>

namespace vantor::platform {

enum class Icon { None, Critical, Question, Exclamation, Information };
enum class Buttons { Ok, OkCancel, YesNo, YesNoCancel, RetryCancel, AbortRetryIgnore };
enum class Answer { Ok, Cancel, Yes, No, Retry, Abort, Ignore };

// Everything a test cannot see on a headless machine goes through this one
// seam: message boxes, the beep, the busy pointer, the input box, file
// choosers, starting another program, the splash delay and the clock.
// Production implements it with Qt (widgets/QtUi); tests install a
// RecordingUi with scripted answers and read back what the user would have
// seen.
class Ui
{
public:
    virtual ~Ui() = default;

    // A message box. An empty title shows the program title "Vantor".
    virtual Answer messageBox(const QString& text, Buttons buttons, Icon icon,
                              const QString& title = {}) = 0;
    virtual void beep() = 0;
    // Busy pointer on and off; use BusyPointer rather than calling this directly.
    virtual void setBusy(bool busy) = 0;
    // A one-line input box; nullopt when the user cancels.
    virtual std::optional<QString> inputBox(const QString& prompt, const QString& title,
                                            const QString& defaultText) = 0;
    // File choosers; an empty text when the user cancels.
    virtual QString openFileName(const QString& caption, const QString& startPath,
                                 const QString& filter) = 0;
    virtual QString saveFileName(const QString& caption, const QString& startPath,
                                 const QString& filter) = 0;
    // Starts another program, detached; false when it cannot be started.
    virtual bool startProgram(const QString& program, const QStringList& arguments) = 0;
    // How long the splash window stays, in milliseconds (3000 in production).
    virtual int splashDelay() const = 0;
    // The clock: today's date and the current time.
    virtual QDateTime now() const = 0;
    QDate today() const { return now().date(); }
};

// The program-wide seam. Before setUi() is called it is a RecordingUi that
// answers Ok/Yes (so library code never crashes for want of one).
Ui& ui();
// Installs a seam; the caller keeps ownership. nullptr restores the default.
void setUi(Ui* seam);

// Shows the busy pointer for its lifetime, also when an error unwinds the
// stack. Nests: the pointer goes back only when the outermost guard ends.
class BusyPointer
{
public:
    BusyPointer();
    ~BusyPointer();
    BusyPointer(const BusyPointer&) = delete;
    BusyPointer& operator=(const BusyPointer&) = delete;
};

// Runs `work` under the busy pointer. Returns the description of the error it
// threw, or an empty text when it finished; the pointer is back either way,
// so the caller can show the message.
QString failureOf(const std::function<void()>& work);

// Shorthand for the usual message: OK button, the given icon and title.
inline void showMessage(const QString& text, Icon icon, const QString& title = {})
{
    ui().messageBox(text, Buttons::Ok, icon, title);
}

} // namespace vantor::platform
