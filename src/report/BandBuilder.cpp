#include "BandBuilder.h"

#include "engine/Recordset.h"
#include "platform/Error.h"
#include "platform/Format.h"

#include <iterator>
#include <limits>

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
        m_lastTexts.emplace_back(size_t(s.controls.size()));
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
    start(rows);
    std::vector<Band> bands;
    while (!step(bands, std::numeric_limits<int>::max())) {
    }
    return bands;
}

void BandBuilder::start(engine::Recordset& rows)
{
    m_bands.clear();
    m_frames.clear();
    m_top = &rows;
    emitBand(m_definition.sectionIndex(Kind::ReportHeader), nullptr);
    if (!m_definition.levels().isEmpty())
        m_frames.push_back({&rows, 0});
    m_footerDone = false;
}

// Headers print before a row's children and footers after them; the chapter
// object of a level is refilled whenever its parent moves, so each row is
// visited in turn with its own children. The levels being read stand on a
// stack, so the reading can stop after any row and go on later.
bool BandBuilder::step(std::vector<Band>& out, int rowCount)
{
    const int last = int(m_definition.levels().size()) - 1;
    int read = 0;
    while (!m_frames.empty() && read < rowCount) {
        Frame& frame = m_frames.back();
        engine::Recordset& rows = *frame.rows;
        if (!frame.started) {
            frame.started = true;
            if (rows.recordCount() > 0)
                rows.moveFirst();
        } else {
            rows.moveNext();
        }
        if (rows.recordCount() == 0 || rows.eof()) {
            m_frames.pop_back();
            if (!m_frames.empty())
                emitBand(m_definition.sectionIndex(Kind::GroupFooter, m_frames.back().level),
                         m_frames.back().rows);
            continue;
        }
        ++read;
        const int level = frame.level;
        if (level == last) {
            emitBand(m_definition.sectionIndex(Kind::Detail, level), &rows);
            continue;
        }
        emitBand(m_definition.sectionIndex(Kind::GroupHeader, level), &rows);
        engine::Recordset* children = rows.chapter(m_definition.levels().at(level + 1));
        if (level + 1 == last && children->recordCount() == 0)
            emitBand(m_definition.sectionIndex(Kind::NoDetail, last), &rows);
        m_frames.push_back({children, level + 1}); // frame is no longer valid from here
    }
    const bool done = m_frames.empty();
    if (done && !m_footerDone) {
        emitBand(m_definition.sectionIndex(Kind::ReportFooter), nullptr);
        m_footerDone = true;
    }
    std::move(m_bands.begin(), m_bands.end(), std::back_inserter(out));
    m_bands.clear();
    return done;
}

double BandBuilder::progress() const
{
    if (m_frames.empty())
        return 1.0;
    const int count = m_top ? m_top->recordCount() : 0;
    const int at = m_top ? m_top->absolutePosition() : 0;
    return count > 0 && at > 0 ? double(at - 1) / count : 0.0;
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
    std::vector<QString>& lastTexts = m_lastTexts[size_t(section)];
    for (int k = 0; k < s.controls.size(); ++k) {
        const ReportControl& c = s.controls.at(k);
        if (c.kind != ReportControl::Kind::Field || !rows) {
            band.texts.append(QString());
            continue;
        }
        const ReportControl::RowText& computed = m_computed[size_t(section)][size_t(k)];
        QString text =
            computed ? computed(*rows)
                     : fieldText(rows->value(c.field), m_formats[size_t(section)][size_t(k)].get());
        QString& previous = lastTexts[size_t(k)];
        if (text == previous)
            band.texts.append(previous);
        else
            band.texts.append(previous = std::move(text));
    }
    m_bands.push_back(std::move(band));
}

} // namespace vantor::report
