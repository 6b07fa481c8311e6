#include "ReportLayout.h"

namespace vantor::report {

using Kind = ReportSection::Kind;

namespace {

int sectionHeight(const ReportDefinition& definition, Kind kind)
{
    const int i = definition.sectionIndex(kind);
    return i < 0 ? 0 : definition.section(i).height;
}

} // namespace

std::vector<ReportPage> ReportLayout::paginate(const ReportDefinition& definition,
                                               const std::vector<Band>& bands,
                                               const PageGeometry& geometry)
{
    std::vector<int> sections;
    sections.reserve(bands.size());
    for (const Band& band : bands)
        sections.push_back(band.section);
    std::vector<ReportPage> pages;
    ReportLayout(definition, geometry).place(sections, true, pages);
    return pages;
}

ReportLayout::ReportLayout(const ReportDefinition& definition, const PageGeometry& geometry)
    : m_definition(definition)
{
    const QRect body = geometry.body();
    m_top = body.top() + sectionHeight(definition, Kind::PageHeader);
    m_bottom = body.top() + body.height() - sectionHeight(definition, Kind::PageFooter);
    m_y = m_top;
}

// A new page, on which the headings of the groups still open repeat when
// they and the next `needed` twips fit. A header starts its own group: only
// the groups around it go on. A footer closes rows already printed: it needs
// no heading.
void ReportLayout::startPage(const std::vector<int>& bands, const ReportSection& section,
                             int needed, std::vector<ReportPage>& pages)
{
    const auto height = [&](size_t band) { return m_definition.section(bands[band]).height; };
    pages.emplace_back();
    m_y = m_top;
    std::vector<size_t> repeat;
    int repeatHeight = 0;
    for (const size_t header : m_open) {
        if (section.kind == Kind::GroupFooter)
            break;
        if (section.kind == Kind::GroupHeader &&
            m_definition.section(bands[header]).level >= section.level)
            break;
        repeat.push_back(header);
        repeatHeight += height(header);
    }
    if (repeatHeight + needed > m_bottom - m_top)
        return;
    for (const size_t header : repeat) {
        pages.back().bands.push_back(PlacedBand{int(header), m_y, true});
        m_y += height(header);
    }
}

void ReportLayout::place(const std::vector<int>& bands, bool final, std::vector<ReportPage>& pages)
{
    const auto sectionOf = [&](size_t band) -> const ReportSection& {
        return m_definition.section(bands[band]);
    };
    const auto height = [&](size_t band) { return sectionOf(band).height; };
    const auto isHeader = [&](size_t band) { return sectionOf(band).kind == Kind::GroupHeader; };
    const int room = m_bottom - m_top;

    if (pages.empty())
        pages.emplace_back();
    for (size_t i = m_next; i < bands.size(); ++i) {
        const ReportSection& section = sectionOf(i);
        const int h = height(i);
        int needed = h;
        if (isHeader(i)) {
            // Headers in a row and the first band after them go together.
            size_t j = i + 1;
            while (j < bands.size() && isHeader(j))
                needed += height(j++);
            if (j >= bands.size() && !final) {
                m_next = i; // wait for the bands that follow
                return;
            }
            if (j < bands.size())
                needed += height(j);
            if (needed > room)
                needed = h;
        }
        if (m_pageUsed && m_y + needed > m_bottom)
            startPage(bands, section, needed, pages);
        pages.back().bands.push_back(PlacedBand{int(i), m_y});
        m_y += h;
        m_pageUsed = true;

        if (section.kind == Kind::GroupHeader || section.kind == Kind::GroupFooter) {
            std::erase_if(m_open,
                          [&](size_t header) { return sectionOf(header).level >= section.level; });
            if (section.kind == Kind::GroupHeader)
                m_open.push_back(i);
        }
    }
    m_next = bands.size();
}

} // namespace vantor::report
