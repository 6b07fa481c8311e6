#pragma once

#include <QDate>
#include <QLabel>
#include <QWidget>

namespace vantor::widgets {
class DataCombo;
class DataControl;
} // namespace vantor::widgets

namespace vantor::overview {

// The inputs every date-range window shares: the From and To lists of the
// dates on which occasions were recorded (DataCombo1, DataCombo2, fed by
// Adodc1, labelled Date_From_Label and Date_To_Label) and, where the window
// concerns one test item, the list of items that have values (ItemCombo, fed
// by Adodc2, labelled "Test Item:").
//
// Use:
//   auto* inputs = new DateRangeInputs({"From date", "to", true}, this);
//   inputs->load(title);                  // fill and preset the lists
//   ...on the action button:
//   if (!inputs->checkBothDates() || !inputs->Check_Date()) return;
//   const QDate from = inputs->fromDate();     // then build the SQL with
//   const qint32 item = inputs->itemId();      // platform::sqlDateLiteral
//
// DateRangeDialog wraps exactly this for the parameter dialogs; frmStats uses
// the inputs on its own. Item ids are carried in 32 bits. The lists keep the
// rows read at load; a window that wants newer dates is opened again.
class DateRangeInputs : public QWidget
{
    Q_OBJECT

public:
    struct Setup
    {
        QString fromLabel; // "From date" ("From " in frmStats)
        QString toLabel;   // "to" ("To date" in dlgReport1)
        bool withItem = false;
    };

    DateRangeInputs(const Setup& setup, QWidget* parent = nullptr);

    // Fills the lists and presets From to the oldest and To to the newest
    // recorded date, and the item to the alphabetically first test item (no
    // entry when that item has no values). With no occasions the lists stay
    // empty. A failure (no database, say) is shown once, with errorTitle, and
    // leaves the lists empty; the action then reports "Missing Date".
    void load(const QString& errorTitle);

    // Both lists have a value; otherwise beeps and shows "Missing Date".
    bool checkBothDates() const;
    // The date-order warning: true when the From date is not later than the
    // To date (or a list has no value, which checkBothDates reports).
    // Otherwise beeps and shows "Invalid Entry"; a date that cannot be read
    // is reported under "Check Date". Changes neither list.
    bool Check_Date() const;

    // The chosen values. Dates and the item id throw vantor::Error when their
    // list has no value or its text is no date.
    QDate fromDate() const;
    QDate toDate() const;
    QString fromText() const; // as the list shows it, for titles
    QString toText() const;
    qint32 itemId() const;
    QString itemName() const;

    widgets::DataCombo* fromList() const { return m_from; }
    widgets::DataCombo* toList() const { return m_to; }
    widgets::DataCombo* itemList() const { return m_item; } // nullptr without an item

    // The common messages, each after a beep.
    static void showMissingDate();
    static void showNoRecordsFound();

private:
    void presetDates();
    void presetItem();

    widgets::DataControl* m_dates;
    widgets::DataCombo* m_from;
    widgets::DataCombo* m_to;
    widgets::DataControl* m_items = nullptr;
    widgets::DataCombo* m_item = nullptr;
};

} // namespace vantor::overview
