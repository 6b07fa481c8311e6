#include "RecordActions.h"

#include "platform/Conversions.h"
#include "platform/Ui.h"
#include "store/ConnectionStrings.h"
#include "widgets/CommandGuard.h"

#include <QHBoxLayout>
#include <QShortcut>

namespace vantor::entry {

QPushButton* makeButton(QWidget* parent, const char* name, const QString& caption)
{
    auto* b = new QPushButton(caption, parent);
    b->setObjectName(QLatin1String(name));
    b->setAutoDefault(false);
    // As narrow as the caption allows, so that the windows fit a small main window.
    QString text = caption;
    text.remove(u'&');
    b->setMinimumWidth(b->fontMetrics().horizontalAdvance(text) + 2 * b->fontMetrics().height());
    b->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    return b;
}

EditButtons makeEditButtons(QWidget* parent)
{
    auto* bar = new QWidget(parent);
    bar->setObjectName(QStringLiteral("picButtons"));
    auto* row = new QHBoxLayout(bar);
    row->setContentsMargins(0, 0, 0, 0);
    EditButtons b{bar, makeButton(bar, "cmdAdd", QObject::tr("&Add")),
                  makeButton(bar, "cmdUpdate", QObject::tr("&Update")),
                  makeButton(bar, "cmdDelete", QObject::tr("&Delete")),
                  makeButton(bar, "cmdClose", QObject::tr("&Close"))};
    for (QPushButton* button : {b.add, b.update, b.remove, b.close})
        row->addWidget(button);
    return b;
}

widgets::DataControl* makeListData(QWidget* parent, const char* name, const QString& recordSource)
{
    auto* data = new widgets::DataControl(parent);
    data->setObjectName(QLatin1String(name));
    data->setVisible(false);
    data->setConnectionString(store::ListConnection);
    data->setRecordSource(recordSource);
    return data;
}

widgets::DataCombo* makeDataCombo(QWidget* parent, const char* name, const QString& listField,
                                  const QString& boundColumn)
{
    auto* combo = new widgets::DataCombo(parent);
    combo->setObjectName(QLatin1String(name));
    combo->setListField(listField);
    combo->setBoundColumn(boundColumn);
    return combo;
}

QLabel* buddyLabel(const QString& text, QWidget* buddy)
{
    auto* label = new QLabel(text, buddy->parentWidget());
    label->setBuddy(buddy);
    return label;
}

void showDataError(int, const QString& description)
{
    platform::showMessage(description, platform::Icon::Critical);
}

QShortcut* escapeShortcut(QWidget* window)
{
    auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), window);
    escape->setContext(Qt::WidgetWithChildrenShortcut);
    return escape;
}

bool saveTyped(engine::Recordset& rs, const std::function<void()>& startRecord,
               const std::function<bool()>& commitFields)
{
    if ((rs.bof() || rs.eof()) && !widgets::runCommand(startRecord))
        return false;
    if (!commitFields())
        return false;
    return widgets::runCommand([&rs] {
        rs.update();
        rs.updateBatch();
    });
}

void deleteAndShowNext(engine::Recordset& rs)
{
    if (!rs.isOpen() || rs.bof() || rs.eof())
        return;
    rs.deleteCurrent();
    rs.moveNext();
    if (rs.eof())
        rs.moveLast();
}

bool jumpToOccasion(engine::Recordset& rs, const QString& boundText)
{
    const qint32 id = platform::toInteger32(boundText);
    const int before = rs.absolutePosition();
    rs.moveFirst();
    if (rs.find(QStringLiteral("[ID]=") + QString::number(id)))
        return true;
    if (before >= 1)
        rs.setAbsolutePosition(before);
    else if (rs.recordCount() > 0)
        rs.moveFirst();
    return false;
}

bool mayClose(const QWidget& window, bool unsaved, const std::function<bool()>& save,
              const std::function<void()>& discard)
{
    if (!unsaved)
        return true;
    switch (platform::ui().messageBox(QStringLiteral("Save changes to this record?"),
                                      platform::Buttons::YesNoCancel, platform::Icon::Question,
                                      window.windowTitle())) {
    case platform::Answer::Yes:
        return save();
    case platform::Answer::No:
        discard();
        return true;
    default:
        return false;
    }
}

bool mayCloseRecord(const QWidget& window, engine::Recordset& rs, bool unsaved,
                    const std::function<bool()>& save)
{
    return mayClose(window, unsaved, save, [&rs] {
        if (rs.editMode() != engine::EditMode::None)
            rs.cancelUpdate();
    });
}

void reportMissingOccasion(const QString& title)
{
    platform::ui().beep();
    platform::showMessage(QStringLiteral("That occasion no longer exists in the records this "
                                         "window read. Close and reopen the window to read them "
                                         "again."),
                          platform::Icon::Information, title);
}

} // namespace vantor::entry
