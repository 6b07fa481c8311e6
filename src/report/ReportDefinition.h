#pragma once

#include "ReportSection.h"

#include <QList>
#include <QString>
#include <QStringList>

namespace vantor::report {

// The design of a banded report: its sections and their controls.
//
// A report reads a shaped recordset level by level. levels() names them from
// the top: the command's own rows first, then each chapter down to the rows
// of the detail section. Every level but the last has a header and a footer
// (named level + "_Header" / "_Footer"); the last has the detail section
// (level + "_Detail"), and level + "_NoDetail", printed under a group whose
// detail rows are none (empty unless designed). Around them stand the report header and footer and
// the page header and footer.
class ReportDefinition
{
public:
    ReportDefinition(const QString& name, const QString& caption, const QString& dataMember,
                     const QStringList& levels);

    const QString& name() const { return m_name; }
    const QString& caption() const { return m_caption; }
    const QString& dataMember() const { return m_dataMember; }
    const QStringList& levels() const { return m_levels; }
    const QString& fontFamily() const { return m_fontFamily; }
    // The width of the report's body, in twips.
    int width() const { return m_width; }
    void setWidth(int twips) { m_width = twips; }

    // Sections in the order a report with one row per level prints them.
    const QList<ReportSection>& sections() const { return m_sections; }
    const ReportSection& section(int index) const { return m_sections.at(index); }
    // Index of a section by kind (and level, for headers, details, footers).
    int sectionIndex(ReportSection::Kind kind, int level = -1) const;
    // Throws vantor::Error for an unknown name.
    int sectionIndex(const QString& name) const;

    // Design helpers; each returns the new control for further settings.
    void setHeight(const QString& section, int twips);
    ReportControl& addLabel(const QString& section, const QString& name, const QString& text,
                            const QRect& rect);
    ReportControl& addField(const QString& section, const QString& name, const QString& field,
                            const QRect& rect, const QString& format = {});
    // A horizontal rule at height y of the section, from left to right.
    ReportControl& addLine(const QString& section, const QString& name, int y, int left, int right);

private:
    ReportControl& add(const QString& section, ReportControl control);

    QString m_name;
    QString m_caption;
    QString m_dataMember;
    QStringList m_levels;
    QString m_fontFamily = QStringLiteral("Arial");
    int m_width = 0;
    QList<ReportSection> m_sections;
};

} // namespace vantor::report
