#pragma once

#include "DateRangeInputs.h"

#include <QPushButton>
#include <QVBoxLayout>
#include <QWidget>

namespace vantor::overview {

// A parameter dialog over a span of dates: the date lists (and the item list)
// of DateRangeInputs on top, the dialog's own inputs below them, and the
// action button cmdOK at the bottom. No Cancel: the user closes the window;
// the dialog stays open after its action with its inputs unchanged.
//
// Pressing cmdOK runs the "Missing Date" check, Check_Date (a From date later
// than the To date stops here), then the dialog's runAction() under the error
// trap with the dialog's title. runAction() shows the busy pointer around its
// work (platform::BusyPointer in a scope that ends before its messages, so
// that no message box appears under the hourglass).
//
// A dialog of this kind is a subclass that adds its inputs to
// inputLayout() in its constructor and implements runAction():
//
//   class dlgChart : public DateRangeDialog {
//   public:
//       dlgChart() : DateRangeDialog({u"dlgChart"_s, u"Results Chart"_s, u"From date"_s,
//                                     u"to"_s, true, u"View Chart"_s, u"Select Dates"_s}) {}
//   protected:
//       void runAction() override { ... inputs()->fromDate(), inputs()->itemId() ... }
//   };
//
// The lists are filled and preset when the dialog is constructed.
class DateRangeDialog : public QWidget
{
    Q_OBJECT

public:
    struct Setup
    {
        QString name;          // the window's class name, also its object name
        QString caption;       // window title
        QString fromLabel;     // "From date"
        QString toLabel;       // "to"
        bool withItem = false; // shows ItemCombo
        QString actionCaption; // cmdOK's caption
        QString errorTitle;    // the trap's title: "Select Dates" or "Preview Report"
    };

    explicit DateRangeDialog(const Setup& setup, QWidget* parent = nullptr);

    DateRangeInputs* inputs() const { return m_inputs; }
    QPushButton* actionButton() const { return m_action; }
    const QString& errorTitle() const { return m_errorTitle; }

    // What pressing cmdOK does (see above).
    void act();

protected:
    // Escape closes the window, as it would a dialog (Enter presses the action).
    void keyPressEvent(QKeyEvent* event) override;
    // Where the dialog's own inputs go, between the lists and the button.
    QVBoxLayout* inputLayout() const { return m_inputLayout; }
    // The dialog's action, after the common checks. Throw vantor::Error to
    // report a failure; the trap shows it.
    virtual void runAction() = 0;

private:
    DateRangeInputs* m_inputs;
    QVBoxLayout* m_inputLayout;
    QPushButton* m_action;
    QString m_errorTitle;
};

} // namespace vantor::overview
