#include "ReportDefinition.h"

#include "platform/Error.h"

namespace vantor::report {

ReportDefinition::ReportDefinition(const QString& name, const QString& caption,
                                   const QString& dataMember, const QStringList& levels)
    : m_name(name), m_caption(caption), m_dataMember(dataMember), m_levels(levels)
{
    using Kind = ReportSection::Kind;
    const auto section = [this](Kind kind, const QString& sectionName, int level) {
        ReportSection s;
        s.kind = kind;
        s.name = sectionName;
        s.level = level;
        m_sections.append(s);
    };
    section(Kind::ReportHeader, QStringLiteral("ReportHeader"), -1);
    section(Kind::PageHeader, QStringLiteral("PageHeader"), -1);
    const int last = int(levels.size()) - 1;
    for (int k = 0; k < last; ++k)
        section(Kind::GroupHeader, levels.at(k) + QStringLiteral("_Header"), k);
    if (last >= 0) {
        section(Kind::Detail, levels.at(last) + QStringLiteral("_Detail"), last);
        section(Kind::NoDetail, levels.at(last) + QStringLiteral("_NoDetail"), last);
    }
    for (int k = last - 1; k >= 0; --k)
        section(Kind::GroupFooter, levels.at(k) + QStringLiteral("_Footer"), k);
    section(Kind::PageFooter, QStringLiteral("PageFooter"), -1);
    section(Kind::ReportFooter, QStringLiteral("ReportFooter"), -1);
}

int ReportDefinition::sectionIndex(ReportSection::Kind kind, int level) const
{
    const bool levelled =
        kind == ReportSection::Kind::GroupHeader || kind == ReportSection::Kind::Detail ||
        kind == ReportSection::Kind::NoDetail || kind == ReportSection::Kind::GroupFooter;
    for (int i = 0; i < m_sections.size(); ++i) {
        const ReportSection& s = m_sections.at(i);
        if (s.kind == kind && (!levelled || s.level == level))
            return i;
    }
    return -1;
}

int ReportDefinition::sectionIndex(const QString& name) const
{
    for (int i = 0; i < m_sections.size(); ++i) {
        if (m_sections.at(i).name.compare(name, Qt::CaseInsensitive) == 0)
            return i;
    }
    throw Error(Error::InvalidProcedureCall,
                QStringLiteral("The report %1 has no section named '%2'.").arg(m_name, name));
}

void ReportDefinition::setHeight(const QString& section, int twips)
{
    m_sections[sectionIndex(section)].height = twips;
}

ReportControl& ReportDefinition::add(const QString& section, ReportControl control)
{
    QList<ReportControl>& controls = m_sections[sectionIndex(section)].controls;
    controls.append(std::move(control));
    return controls.last();
}

ReportControl& ReportDefinition::addLabel(const QString& section, const QString& name,
                                          const QString& text, const QRect& rect)
{
    ReportControl c;
    c.kind = ReportControl::Kind::Label;
    c.name = name;
    c.text = text;
    c.rect = rect;
    return add(section, std::move(c));
}

ReportControl& ReportDefinition::addField(const QString& section, const QString& name,
                                          const QString& field, const QRect& rect,
                                          const QString& format)
{
    ReportControl c;
    c.kind = ReportControl::Kind::Field;
    c.name = name;
    c.field = field;
    c.format = format;
    c.rect = rect;
    return add(section, std::move(c));
}

ReportControl& ReportDefinition::addLine(const QString& section, const QString& name, int y,
                                         int left, int right)
{
    ReportControl c;
    c.kind = ReportControl::Kind::Line;
    c.name = name;
    c.rect = QRect(QPoint(left, y), QPoint(right, y));
    return add(section, std::move(c));
}

} // namespace vantor::report
