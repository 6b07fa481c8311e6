#pragma once

#include "BandBuilder.h"
#include "PageGeometry.h"
#include "ReportDefinition.h"

#include <vector>

namespace vantor::report {

// A band's place on its page: its top edge, in twips from the top of the paper.
struct PlacedBand
{
    int band = -1;
    int top = 0;
    bool continued = false; // a group's heading repeated atop a page it runs on to
};

struct ReportPage
{
    std::vector<PlacedBand> bands;
};

// Breaks a report's bands into pages. Every page has the page header at the
// top of its body and the page footer at the bottom; the bands fill the room
// between. A page breaks between bands, never inside one; a group header is
// kept with what follows it, so that no heading ends a page alone, and a
// group that runs on to the next page has its headings repeated at the top
// of that page, marked as continued. There is
// always at least one page, so an empty report still shows its headings.
class ReportLayout
{
public:
    static std::vector<ReportPage> paginate(const ReportDefinition& definition,
                                            const std::vector<Band>& bands,
                                            const PageGeometry& geometry);

    // The same breaking, as the bands come: place() lays out the bands not
    // yet placed (keeping back a heading whose following bands have not come
    // yet unless final is set) and appends to pages.
    // The bands are given by their sections, in print order.
    ReportLayout(const ReportDefinition& definition, const PageGeometry& geometry);
    void place(const std::vector<int>& sections, bool final, std::vector<ReportPage>& pages);

private:
    void startPage(const std::vector<int>& bands, const ReportSection& section, int needed,
                   std::vector<ReportPage>& pages);
    const ReportDefinition& m_definition;
    int m_top;
    int m_bottom;
    size_t m_next = 0;          // the first band not yet placed
    int m_y = 0;                // where the next band goes on the last page
    bool m_pageUsed = false;    // the last page holds a band
    std::vector<size_t> m_open; // group headers printed and not yet closed, by level
};

} // namespace vantor::report
