#include "DataEnvironment.h"

#include "platform/Error.h"
#include "store/ConnectionStrings.h"

namespace vantor::report {

DataEnvironment::DataEnvironment() : m_connectionString(store::ReportShapeConnection)
{
    const auto add = [this](const QString& name, const QString& text) {
        Command c{name, text, std::make_unique<engine::Recordset>()};
        c.recordset->setSource(text);
        m_commands.push_back(std::move(c));
    };
    add(QStringLiteral("Results_Grouping"),
        QStringLiteral("SHAPE ( SHAPE {SELECT * FROM `Results Sorted`}  AS Results APPEND (( "
                       "SHAPE {SELECT * FROM `qryResults`}  AS Periods APPEND ({SELECT * FROM "
                       "`qryDetails`}  AS Details RELATE 'ID' TO 'ID') AS Details) AS Periods "
                       "RELATE 'ID' TO 'ID') AS Periods) COMPUTE Results BY 'Date'"));
    add(QStringLiteral("Test_Items_Grouping"),
        QStringLiteral("SHAPE ( SHAPE {SELECT * FROM `Tests`}  AS Test_Items APPEND ({SELECT * "
                       "FROM `qrydatResults`}  AS Items RELATE 'ID' TO 'Test') AS Items) COMPUTE "
                       "Test_Items BY 'Test'"));
    add(QStringLiteral("Agents"), QStringLiteral("SELECT * FROM `Agents`"));
}

DataEnvironment::~DataEnvironment()
{
    closeAll();
}

const DataEnvironment::Command* DataEnvironment::lookup(const QString& name) const
{
    for (const Command& c : m_commands) {
        if (c.name.compare(name, Qt::CaseInsensitive) == 0)
            return &c;
    }
    return nullptr;
}

DataEnvironment::Command& DataEnvironment::find(const QString& name)
{
    if (const Command* c = lookup(name))
        return const_cast<Command&>(*c);
    throw Error(Error::InvalidProcedureCall,
                QStringLiteral("The data environment has no command named '%1'.").arg(name));
}

engine::Recordset& DataEnvironment::command(const QString& name)
{
    return *find(name).recordset;
}

QString DataEnvironment::designText(const QString& name) const
{
    const Command* c = lookup(name);
    return c ? c->designText : QString();
}

engine::Recordset& DataEnvironment::reopen(const QString& name, const QString& source)
{
    engine::Recordset& rs = command(name);
    if (rs.isOpen())
        rs.close();
    if (m_connection.isOpen())
        m_connection.close();
    rs.setSource(source);
    m_connection.open(m_connectionString, QString(), QString());
    rs.open(rs.source(), &m_connection);
    return rs;
}

void DataEnvironment::release(const QString& name)
{
    command(name).close();
    for (const Command& c : m_commands) {
        if (c.recordset->isOpen())
            return;
    }
    m_connection.close();
}

void DataEnvironment::closeAll()
{
    for (Command& c : m_commands)
        c.recordset->close();
    m_connection.close();
}

DataEnvironment& DataEnvironment1()
{
    // Never destroyed: the connection registry it reports to may be gone by
    // the time static objects are torn down. The system closes the file.
    static DataEnvironment* const instance = new DataEnvironment;
    return *instance;
}

} // namespace vantor::report
