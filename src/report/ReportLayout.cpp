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

    std::vector<ReportPage> pages(1);
    int y = top;
    bool pageUsed = false;
    for (size_t i = 0; i < bands.size(); ++i) {
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
        }
        pages.back().bands.push_back(PlacedBand{int(i), y});
        y += h;
        pageUsed = true;
    }
    return pages;
}

} // namespace vantor::report
