#pragma once

#include <QJsonObject>
#include <QStringList>

namespace vantor::platform {
class RecordingUi;
}

namespace vantor::calc {

class CalculatorWindow;

// One calculation as a user would do it, run on the real windows: choose the
// calculator in the selector, Proceed, type the values, Calculate, and read
// what the window shows. Message boxes and beeps go to the recorder.
class CalcSession
{
public:
    explicit CalcSession(platform::RecordingUi& recorder);

    // "Control=text" assignments. False, with error() set, for an unknown
    // calculator or a control the user could not type into.
    bool run(const QString& name, const QStringList& assignments);
    const QString& error() const { return m_error; }

    // title, result, resultVisible, moreInfo, messages (text, title, icon), beeps.
    QJsonObject report() const;

    // One line per calculator: category index, list index, list item, title,
    // and the names of the controls it reads.
    static QStringList listing();

private:
    bool proceed(int category, int index);
    bool type(const QString& assignment);
    QString readInterpretation() const;

    platform::RecordingUi& m_recorder;
    CalculatorWindow* m_window = nullptr;
    QString m_moreInfo;
    QString m_error;
};

} // namespace vantor::calc
