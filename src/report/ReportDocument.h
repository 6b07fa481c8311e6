#pragma once

#include "BandBuilder.h"
#include "PageGeometry.h"
#include "ReportDefinition.h"
#include "ReportLayout.h"

#include <QDate>
#include <QHash>
#include <QString>

#include <memory>
#include <vector>

class QPainter;
class QPagedPaintDevice;
class QPrinter;

namespace vantor::report {

// A report read and laid out: its bands broken into pages, ready to be drawn
// on screen, printed or written as PDF. It holds texts only, never rows, so it
// stays as it is whatever happens to the data afterwards.
//
// A long report is laid out while it is shown: it starts empty and grows by
// append() until its last bands come (or the reading is stopped); until then
// its page count is the pages laid out so far and %P prints as "...".
class ReportDocument
{
public:
    // today: the date that %D and %d print.
    ReportDocument(ReportDefinition definition, std::vector<Band> bands, const QString& title,
                   const QDate& today, const PageGeometry& geometry = PageGeometry::forLocale());
    // An empty report that append() fills.
    ReportDocument(ReportDefinition definition, const QString& title, const QDate& today,
                   const PageGeometry& geometry = PageGeometry::forLocale());
    ~ReportDocument();
    ReportDocument(const ReportDocument&) = delete;
    ReportDocument& operator=(const ReportDocument&) = delete;

    // Adds the next bands and lays out the pages they fill; final: no more come.
    void append(std::vector<Band>&& bands, bool final);
    // No more bands come: the pages laid out so far are the report.
    void stop();
    bool isComplete() const { return m_complete; }
    bool wasStopped() const { return m_stopped; }

    const ReportDefinition& definition() const { return m_definition; }
    const QString& title() const { return m_title; }
    const QDate& today() const { return m_today; }
    const PageGeometry& geometry() const { return m_geometry; }
    int pageCount() const { return int(m_pages.size()); }
    // The bands in print order, with their texts.
    int bandCount() const { return int(m_sections.size()); }
    Band band(int index) const;
    std::vector<Band> bands() const;
    const std::vector<ReportPage>& pages() const { return m_pages; }

    // Draws one page (0-based) on a painter whose unit is the twip, with the
    // paper's top-left corner at the origin.
    void paintPage(QPainter& painter, int page) const;

    // Writes every page to a PDF file through a temporary file renamed into
    // place; refuses `database` (the open results file) and its journals as
    // the target. Throws vantor::Error when it cannot.
    void writePdf(const QString& fileName, const QString& database) const;
    // Prints the pages the printer's range asks for (all when it names
    // none), each scaled to the printer's paper.
    void print(QPrinter& printer) const;

    // A label's text with its codes replaced: %i the title, %p the page
    // number, %P the page count, %D today in long form, %d today in short
    // form, %% a percent sign.
    QString expandLabel(const QString& text, int page) const;

private:
    void writePdfPages(const QString& path, const QString& fileName) const;
    void render(QPagedPaintDevice& device, int firstPage, int lastPage) const;
    void paintSection(QPainter& painter, int section, const QStringList& texts, int top,
                      int page) const;

    ReportDefinition m_definition;
    void store(std::vector<Band>&& bands);
    QString text(quint32 id) const;

    // The bands packed: a long report has a million of them. Each band is
    // its section and the ids of its controls' texts (as many as the section
    // has controls, from firstText); the texts lie end to end in one string,
    // equal texts stored once while there are not too many different ones.
    std::vector<int> m_sections;
    std::vector<quint32> m_firstText;
    std::vector<quint32> m_textIds;
    QString m_textData;
    std::vector<quint32> m_textStart; // text id -> its start in m_textData; id 0 is empty
    QHash<QString, quint32> m_knownTexts;
    QString m_title;
    QDate m_today;
    PageGeometry m_geometry;
    std::vector<ReportPage> m_pages;
    std::unique_ptr<ReportLayout> m_layout;
    bool m_complete = true;
    bool m_stopped = false;
};

} // namespace vantor::report
