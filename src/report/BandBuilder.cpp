#include "BandBuilder.h"

#include "engine/Recordset.h"
#include "platform/Error.h"
#include "platform/Format.h"

namespace vantor::report {

using Kind = ReportSection::Kind;

QString fieldText(const QVariant& value, const platform::FormatPattern* format)
{
    if (value.isNull())
        return {};
    if (format)
        return format->format(value);
    return platform::valueText(value);
}

BandBuilder::BandBuilder(const ReportDefinition& definition) : m_definition(definition)
{
    for (const ReportSection& s : definition.sections()) {
        auto& formats = m_formats.emplace_back();
        auto& computed = m_computed.emplace_back();
        for (const ReportControl& c : s.controls) {
            computed.push_back(c.computed ? c.computed() : ReportControl::RowText());
            formats.push_back(c.kind == ReportControl::Kind::Field && !c.format.isEmpty()
                                  ? std::make_unique<platform::FormatPattern>(c.format)
                                  : nullptr);
        }
    }
}

BandBuilder::~BandBuilder() = default;

std::vector<Band> BandBuilder::build(engine::Recordset& rows)
{
    m_bands.clear();
    emitBand(m_definition.sectionIndex(Kind::ReportHeader), nullptr);
    if (!m_definition.levels().isEmpty())
        walk(rows, 0);
    emitBand(m_definition.sectionIndex(Kind::ReportFooter), nullptr);
    return std::move(m_bands);
}

// Headers print before a row's children and footers after them; the chapter
// object of a level is refilled whenever its parent moves, so each row is
// visited in turn with its own children.
void BandBuilder::walk(engine::Recordset& rows, int level)
{
    const int last = int(m_definition.levels().size()) - 1;
    if (rows.recordCount() == 0)
        return;
    for (rows.moveFirst(); !rows.eof(); rows.moveNext()) {
        if (level == last) {
            emitBand(m_definition.sectionIndex(Kind::Detail, level), &rows);
            continue;
        }
        emitBand(m_definition.sectionIndex(Kind::GroupHeader, level), &rows);
        engine::Recordset* children = rows.chapter(m_definition.levels().at(level + 1));
        if (level + 1 == last && children->recordCount() == 0)
            emitBand(m_definition.sectionIndex(Kind::NoDetail, last), &rows);
        walk(*children, level + 1);
        emitBand(m_definition.sectionIndex(Kind::GroupFooter, level), &rows);
    }
}

void BandBuilder::emitBand(int section, engine::Recordset* rows)
{
    if (section < 0)
        return;
    const ReportSection& s = m_definition.section(section);
    // An empty section takes no room: leave it out rather than carry it along.
    if (s.height <= 0)
        return;
    Band band;
    band.section = section;
    for (int k = 0; k < s.controls.size(); ++k) {
        const ReportControl& c = s.controls.at(k);
        if (c.kind != ReportControl::Kind::Field || !rows) {
            band.texts.append(QString());
            continue;
        }
        const ReportControl::RowText& computed = m_computed[size_t(section)][size_t(k)];
        band.texts.append(computed ? computed(*rows)
                                   : fieldText(rows->value(c.field),
                                               m_formats[size_t(section)][size_t(k)].get()));
    }
    m_bands.push_back(std::move(band));
}

} // namespace vantor::report
