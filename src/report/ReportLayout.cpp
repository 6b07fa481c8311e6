#include "ReportLayout.h"

namespace vantor::report {

std::vector<ReportPage> ReportLayout::paginate(const ReportDefinition& definition,
                                               const std::vector<Band>& bands,
                                               const PageGeometry& geometry)
{
    using Kind = ReportSection::Kind;
    const auto sectionHeight = [&](Kind kind) {
        const int i = definition.sectionIndex(kind);
        return i < 0 ? 0 : definition.section(i).height;
    };
    const auto height = [&](size_t band) { return definition.section(bands[band].section).height; };
    const auto isHeader = [&](size_t band) {
        return definition.section(bands[band].section).kind == Kind::GroupHeader;
    };

    const QRect body = geometry.body();
    const int top = body.top() + sectionHeight(Kind::PageHeader);
    const int bottom = body.top() + body.height() - sectionHeight(Kind::PageFooter);
    const int room = bottom - top;

    const auto sectionOf = [&](size_t band) -> const ReportSection& {
        return definition.section(bands[band].section);
    };
    // The group headers printed and not yet closed by their footer, by level.
    std::vector<size_t> open;

    std::vector<ReportPage> pages(1);
    int y = top;
    bool pageUsed = false;
    for (size_t i = 0; i < bands.size(); ++i) {
        const ReportSection& section = sectionOf(i);
        const int h = height(i);
        int needed = h;
        if (isHeader(i)) {
            // Headers in a row and the first band after them go together.
            size_t j = i + 1;
            while (j < bands.size() && isHeader(j))
                needed += height(j++);
            if (j < bands.size())
                needed += height(j);
            if (needed > room)
                needed = h;
        }
        if (pageUsed && y + needed > bottom) {
            pages.emplace_back();
            y = top;
            // A header starts its own group: only the groups around it go on.
            // A footer closes rows already printed: it needs no heading.
            std::vector<size_t> repeat;
            int repeatHeight = 0;
            for (const size_t header : open) {
                if (section.kind == Kind::GroupFooter)
                    break;
                if (section.kind == Kind::GroupHeader && sectionOf(header).level >= section.level)
                    break;
                repeat.push_back(header);
                repeatHeight += height(header);
            }
            if (repeatHeight + needed <= room) {
                for (const size_t header : repeat) {
                    pages.back().bands.push_back(PlacedBand{int(header), y, true});
                    y += height(header);
                }
            }
        }
        pages.back().bands.push_back(PlacedBand{int(i), y});
        y += h;
        pageUsed = true;

        if (section.kind == Kind::GroupHeader || section.kind == Kind::GroupFooter) {
            std::erase_if(open,
                          [&](size_t header) { return sectionOf(header).level >= section.level; });
            if (section.kind == Kind::GroupHeader)
                open.push_back(i);
        }
    }
    return pages;
}

} // namespace vantor::report
