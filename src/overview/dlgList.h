#pragma once

#include "DateRangeDialog.h"
#include "ListRequest.h"

#include <QComboBox>
#include <QLineEdit>

#include <optional>

namespace vantor::overview {

// "Item Dialog": asks for one item's values equal to, greater than or less
// than a number within a span of dates; "View List" shows them in the
// filtered list window, which keeps this dialog out of use while it is open.
class dlgList : public DateRangeDialog
{
    Q_OBJECT

public:
    explicit dlgList(QWidget* parent = nullptr);

protected:
    void runAction() override;

private:
    // The request of the inputs, or nullopt after telling the user what is wrong.
    std::optional<ListRequest> readRequest() const;
    static void refuse(const QString& text, const QString& title, QWidget* input);

    QComboBox* m_condition;
    QLineEdit* m_result;
};

} // namespace vantor::overview
