#include "RecordActions.h"

#include "platform/Conversions.h"

#include <QHBoxLayout>

namespace vantor::entry {

QPushButton* makeButton(QWidget* parent, const char* name, const QString& caption)
{
    auto* b = new QPushButton(caption, parent);
    b->setObjectName(QLatin1String(name));
    b->setAutoDefault(false);
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

void deleteAndShowNext(engine::Recordset& rs)
{
    if (!rs.isOpen() || rs.bof() || rs.eof())
        return;
    rs.deleteCurrent();
    rs.moveNext();
    if (rs.eof())
        rs.moveLast();
}

void jumpToOccasion(engine::Recordset& rs, const QString& boundText)
{
    const qint32 id = platform::toInteger32(boundText);
    rs.moveFirst();
    rs.find(QStringLiteral("[ID]=") + QString::number(id));
}

} // namespace vantor::entry
