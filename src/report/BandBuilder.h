#pragma once

#include "ReportDefinition.h"

#include <QStringList>

#include <memory>
#include <vector>

namespace vantor::platform {
class FormatPattern;
}
namespace vantor::engine {
class Recordset;
}

namespace vantor::report {

// One printed instance of a section: the section and the text of each of its
// field controls (empty for labels and lines, whose text depends on the page).
struct Band
{
    int section = -1;
    QStringList texts;
};

// Reads a shaped recordset level by level into the bands of a report, in
// print order. The bands keep the texts, so the report no longer needs the
// rows once they are read.
class BandBuilder
{
public:
    explicit BandBuilder(const ReportDefinition& definition);
    ~BandBuilder();
    BandBuilder(const BandBuilder&) = delete;
    BandBuilder& operator=(const BandBuilder&) = delete;

    // Throws vantor::Error when a level or field the report names is missing.
    std::vector<Band> build(engine::Recordset& rows);

    // The same reading in steps, so that a long report can be shown while it
    // is read: start() and then step() until it returns true. Each step reads
    // up to rowCount rows and appends their bands to out. The rows must stay
    // open and unmoved by others in between.
    void start(engine::Recordset& rows);
    bool step(std::vector<Band>& out, int rowCount);
    // How far the reading is, from 0 to 1, by the rows of the top level.
    double progress() const;

private:
    // One level being read: its rows and whether the first row was reached.
    struct Frame
    {
        engine::Recordset* rows;
        int level;
        bool started = false;
    };
    void emitBand(int section, engine::Recordset* rows);

    const ReportDefinition& m_definition;
    // A compiled pattern per control that has a format, by section and control.
    std::vector<std::vector<std::unique_ptr<platform::FormatPattern>>> m_formats;
    std::vector<std::vector<ReportControl::RowText>> m_computed;
    std::vector<Band> m_bands;
    std::vector<Frame> m_frames;
    engine::Recordset* m_top = nullptr;
    bool m_footerDone = true;
    // Equal texts of a control share one string, as most texts repeat
    // (dates, periods, names, units): by section and control, the last text.
    std::vector<std::vector<QString>> m_lastTexts;
};

// A field's value as a report prints it: by its format when it has one, else
// the value's own text (a number in its shortest form, a date in short form).
QString fieldText(const QVariant& value, const platform::FormatPattern* format);

} // namespace vantor::report
