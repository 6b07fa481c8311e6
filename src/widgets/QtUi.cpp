#include "QtUi.h"

#include <QApplication>
#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>
#include <QProcess>

namespace vantor::widgets {

using platform::Answer;
using platform::Buttons;
using platform::Icon;

namespace {

QMessageBox::Icon toQt(Icon icon)
{
    switch (icon) {
    case Icon::Critical:
        return QMessageBox::Critical;
    case Icon::Question:
        return QMessageBox::Question;
    case Icon::Exclamation:
        return QMessageBox::Warning;
    case Icon::Information:
        return QMessageBox::Information;
    case Icon::None:
        break;
    }
    return QMessageBox::NoIcon;
}

QMessageBox::StandardButtons toQt(Buttons buttons)
{
    switch (buttons) {
    case Buttons::Ok:
        return QMessageBox::Ok;
    case Buttons::OkCancel:
        return QMessageBox::Ok | QMessageBox::Cancel;
    case Buttons::YesNo:
        return QMessageBox::Yes | QMessageBox::No;
    case Buttons::YesNoCancel:
        return QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
    case Buttons::RetryCancel:
        return QMessageBox::Retry | QMessageBox::Cancel;
    case Buttons::AbortRetryIgnore:
        return QMessageBox::Abort | QMessageBox::Retry | QMessageBox::Ignore;
    }
    return QMessageBox::Ok;
}

Answer fromQt(int button, Buttons buttons)
{
    switch (button) {
    case QMessageBox::Ok:
        return Answer::Ok;
    case QMessageBox::Cancel:
        return Answer::Cancel;
    case QMessageBox::Yes:
        return Answer::Yes;
    case QMessageBox::No:
        return Answer::No;
    case QMessageBox::Retry:
        return Answer::Retry;
    case QMessageBox::Abort:
        return Answer::Abort;
    case QMessageBox::Ignore:
        return Answer::Ignore;
    default:
        break;
    }
    // Closed without a button: the answer that changes nothing.
    switch (buttons) {
    case Buttons::Ok:
        return Answer::Ok;
    case Buttons::YesNo:
        return Answer::No;
    case Buttons::AbortRetryIgnore:
        return Answer::Abort;
    case Buttons::OkCancel:
    case Buttons::YesNoCancel:
    case Buttons::RetryCancel:
        break;
    }
    return Answer::Cancel;
}

// Boxes belong to whatever window the user is working in.
QWidget* owner()
{
    if (QWidget* modal = QApplication::activeModalWidget())
        return modal;
    return QApplication::activeWindow();
}

} // namespace

QString QtUi::boxTitle(const QString& title)
{
    return title.isEmpty() ? QStringLiteral("Vantor") : title;
}

Answer QtUi::messageBox(const QString& text, Buttons buttons, Icon icon, const QString& title)
{
    QMessageBox box(toQt(icon), boxTitle(title),
                    QString(text).replace(QStringLiteral("\r\n"), QStringLiteral("\n")),
                    toQt(buttons), owner());
    box.setObjectName(QStringLiteral("msgBox"));
    box.setTextFormat(Qt::PlainText);
    // The arrow, not the hourglass, over a box that waits for the user.
    if (m_busy)
        QApplication::setOverrideCursor(Qt::ArrowCursor);
    const int answer = box.exec();
    if (m_busy)
        QApplication::restoreOverrideCursor();
    return fromQt(answer, buttons);
}

void QtUi::beep()
{
    QApplication::beep();
}

void QtUi::setBusy(bool busy)
{
    if (busy == m_busy)
        return;
    m_busy = busy;
    if (busy)
        QApplication::setOverrideCursor(Qt::WaitCursor);
    else
        QApplication::restoreOverrideCursor();
}

std::optional<QString> QtUi::inputBox(const QString& prompt, const QString& title,
                                      const QString& defaultText)
{
    bool ok = false;
    const QString text = QInputDialog::getText(owner(), boxTitle(title), prompt, QLineEdit::Normal,
                                               defaultText, &ok);
    if (!ok)
        return std::nullopt;
    return text;
}

QString QtUi::openFileName(const QString& caption, const QString& startPath, const QString& filter)
{
    return QFileDialog::getOpenFileName(owner(), caption, startPath, filter);
}

QString QtUi::saveFileName(const QString& caption, const QString& startPath, const QString& filter)
{
    return QFileDialog::getSaveFileName(owner(), caption, startPath, filter);
}

bool QtUi::startProgram(const QString& program, const QStringList& arguments)
{
    return QProcess::startDetached(program, arguments);
}

QDateTime QtUi::now() const
{
    return QDateTime::currentDateTime();
}

} // namespace vantor::widgets
