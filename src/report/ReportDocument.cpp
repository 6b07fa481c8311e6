#include "ReportDocument.h"

#include "platform/Error.h"
#include "platform/Format.h"
#include "platform/ReplacingFile.h"

#include <QFileInfo>
#include <QFontMetrics>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QPrinter>

#include <iterator>

namespace vantor::report {

namespace {

constexpr int TwipsPerInch = 1440;
constexpr int TwipsPerPoint = 20;
constexpr int MinWrapPointSize = 8;

QFont controlFont(const QString& family, const ReportControl& control)
{
    QFont font(family);
    // Sized in twips, the painter's unit, so that text keeps its place on
    // every device and at every zoom.
    font.setPixelSize(control.pointSize * TwipsPerPoint);
    font.setBold(control.bold);
    font.setItalic(control.italic);
    font.setHintingPreference(QFont::PreferNoHinting);
    return font;
}

} // namespace

ReportDocument::ReportDocument(ReportDefinition definition, std::vector<Band> bands,
                               const QString& title, const QDate& today,
                               const PageGeometry& geometry)
    : m_definition(std::move(definition)), m_title(title), m_today(today), m_geometry(geometry),
      m_pages(ReportLayout::paginate(m_definition, bands, m_geometry))
{
    m_textStart = {0, 0};
    store(std::move(bands));
}

ReportDocument::ReportDocument(ReportDefinition definition, const QString& title,
                               const QDate& today, const PageGeometry& geometry)
    : m_definition(std::move(definition)), m_title(title), m_today(today), m_geometry(geometry),
      m_layout(std::make_unique<ReportLayout>(m_definition, m_geometry)), m_complete(false)
{
    m_textStart = {0, 0};
    m_pages.emplace_back();
}

ReportDocument::~ReportDocument() = default;

void ReportDocument::append(std::vector<Band>&& bands, bool final)
{
    if (m_complete)
        return;
    store(std::move(bands));
    m_layout->place(m_sections, final, m_pages);
    if (final) {
        m_complete = true;
        m_layout.reset();
    }
}

void ReportDocument::store(std::vector<Band>&& bands)
{
    // Enough different texts to share every name, unit, date and common
    // value, and no more: a hash of every distinct number would cost more
    // than it saves.
    constexpr qsizetype MaxKnownTexts = 1 << 16;
    for (const Band& band : bands) {
        m_sections.push_back(band.section);
        m_firstText.push_back(quint32(m_textIds.size()));
        const int controls = int(m_definition.section(band.section).controls.size());
        for (int k = 0; k < controls; ++k) {
            const QString t = band.texts.value(k);
            if (t.isEmpty()) {
                m_textIds.push_back(0);
                continue;
            }
            const auto known = m_knownTexts.constFind(t);
            if (known != m_knownTexts.constEnd()) {
                m_textIds.push_back(*known);
                continue;
            }
            const auto id = quint32(m_textStart.size() - 1);
            m_textData += t;
            m_textStart.push_back(quint32(m_textData.size()));
            if (m_knownTexts.size() < MaxKnownTexts)
                m_knownTexts.insert(t, id);
            m_textIds.push_back(id);
        }
    }
    bands.clear();
}

QString ReportDocument::text(quint32 id) const
{
    if (id == 0)
        return {};
    return m_textData.mid(m_textStart[id], m_textStart[id + 1] - m_textStart[id]);
}

Band ReportDocument::band(int index) const
{
    Band b;
    b.section = m_sections[size_t(index)];
    const int controls = int(m_definition.section(b.section).controls.size());
    const quint32 first = m_firstText[size_t(index)];
    for (int k = 0; k < controls; ++k)
        b.texts.append(text(m_textIds[first + quint32(k)]));
    return b;
}

std::vector<Band> ReportDocument::bands() const
{
    std::vector<Band> all;
    all.reserve(m_sections.size());
    for (int i = 0; i < bandCount(); ++i)
        all.push_back(band(i));
    return all;
}

void ReportDocument::stop()
{
    if (m_complete)
        return;
    m_stopped = true;
    append({}, true);
}

QString ReportDocument::expandLabel(const QString& text, int page) const
{
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c != u'%' || i + 1 == text.size()) {
            out += c;
            continue;
        }
        const QChar code = text.at(++i);
        switch (code.unicode()) {
        case u'i':
            out += m_title;
            break;
        case u'p':
            out += QString::number(page + 1);
            break;
        case u'P':
            // Not known until the last page is laid out.
            out += m_complete ? QString::number(pageCount()) : QStringLiteral("...");
            break;
        case u'D':
            out += platform::longDate(m_today);
            break;
        case u'd':
            out += platform::shortDate(m_today);
            break;
        case u'%':
            out += u'%';
            break;
        default: // not a code: print it as it stands
            out += c;
            out += code;
            break;
        }
    }
    return out;
}

void ReportDocument::paintSection(QPainter& painter, int section, const QStringList& texts, int top,
                                  int page) const
{
    const ReportSection& s = m_definition.section(section);
    const int left = m_geometry.body().left();
    painter.save();
    painter.setClipRect(QRect(left, top, m_geometry.body().width(), s.height));
    for (int k = 0; k < s.controls.size(); ++k) {
        const ReportControl& c = s.controls.at(k);
        const QRect rect = c.rect.translated(left, top);
        const QColor ink = c.faint ? QColor(150, 150, 150) : QColor(Qt::black);
        if (c.kind == ReportControl::Kind::Line) {
            painter.setPen(QPen(ink, c.faint ? 10 : 15));
            painter.drawLine(rect.topLeft(), rect.topRight());
            continue;
        }
        const QString text =
            c.kind == ReportControl::Kind::Label ? expandLabel(c.text, page) : texts.value(k);
        if (text.isEmpty())
            continue;
        QFont font = controlFont(m_definition.fontFamily(), c);
        painter.setPen(ink);
        if (c.wrap) {
            // Line breaks of the text stand; long lines wrap at spaces, and
            // the type gets smaller until the whole text fits its box.
            QString lines = text;
            lines.replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace(u'\r', u'\n');
            const int flags = int(c.alignment) | Qt::TextWordWrap;
            for (int size = c.pointSize; size > MinWrapPointSize; --size) {
                if (QFontMetrics(font).boundingRect(rect, flags, lines).height() <= rect.height())
                    break;
                font.setPixelSize((size - 1) * TwipsPerPoint);
            }
            painter.setFont(font);
            painter.drawText(rect, flags, lines);
            continue;
        }
        painter.setFont(font);
        const QString shown = QFontMetrics(font).elidedText(text, Qt::ElideRight, rect.width());
        painter.drawText(rect, int(c.alignment) | Qt::TextSingleLine, shown);
    }
    painter.restore();
}

void ReportDocument::paintPage(QPainter& painter, int page) const
{
    if (page < 0 || page >= pageCount())
        return;
    using Kind = ReportSection::Kind;
    const QRect body = m_geometry.body();
    const int header = m_definition.sectionIndex(Kind::PageHeader);
    const int footer = m_definition.sectionIndex(Kind::PageFooter);
    if (header >= 0)
        paintSection(painter, header, {}, body.top(), page);
    for (const PlacedBand& placed : m_pages[size_t(page)].bands) {
        const Band shown = band(placed.band);
        if (!placed.continued) {
            paintSection(painter, shown.section, shown.texts, placed.top, page);
            continue;
        }
        // A repeated heading says so after its first field's text.
        QStringList texts = shown.texts;
        const QList<ReportControl>& controls = m_definition.section(shown.section).controls;
        for (int k = 0; k < controls.size() && k < texts.size(); ++k) {
            if (controls.at(k).kind == ReportControl::Kind::Field && !texts.at(k).isEmpty()) {
                texts[k] += QStringLiteral(" (continued)");
                break;
            }
        }
        paintSection(painter, shown.section, texts, placed.top, page);
    }
    if (footer >= 0) {
        const int height = m_definition.section(footer).height;
        paintSection(painter, footer, {}, body.top() + body.height() - height, page);
    }
}

void ReportDocument::render(QPagedPaintDevice& device, int firstPage, int lastPage) const
{
    QPainter painter;
    if (!painter.begin(&device))
        throw Error(Error::FileNotFound, QStringLiteral("The report cannot be written there."));
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    const double scale = std::min(double(device.width()) / m_geometry.paper.width(),
                                  double(device.height()) / m_geometry.paper.height());
    for (int page = firstPage; page <= lastPage; ++page) {
        if (page > firstPage)
            device.newPage();
        painter.save();
        painter.scale(scale, scale);
        paintPage(painter, page);
        painter.restore();
    }
    painter.end();
}

void ReportDocument::writePdf(const QString& fileName, const QString& database) const
{
    if (!m_complete)
        throw Error(Error::InvalidProcedureCall,
                    QStringLiteral("The report is still being laid out."));
    platform::ReplacingFile file(fileName, database);
    writePdfPages(file.temporaryPath(), fileName);
    file.commit();
}

void ReportDocument::writePdfPages(const QString& path, const QString& fileName) const
{
    QPdfWriter writer(path);
    writer.setResolution(TwipsPerInch);
    writer.setTitle(m_definition.caption());
    writer.setCreator(QStringLiteral("Vantor"));
    writer.setPageSize(QPageSize(QSizeF(m_geometry.paper) / TwipsPerInch, QPageSize::Inch,
                                 QString(), QPageSize::ExactMatch));
    writer.setPageMargins(QMarginsF(0, 0, 0, 0));
    try {
        render(writer, 0, pageCount() - 1);
    } catch (const Error&) {
        throw Error(Error::FileNotFound,
                    QStringLiteral("The file %1 cannot be written. Check that its folder exists "
                                   "and that you may write there.")
                        .arg(QFileInfo(fileName).absoluteFilePath()));
    }
}

void ReportDocument::print(QPrinter& printer) const
{
    printer.setFullPage(true);
    printer.setDocName(m_definition.caption());
    int first = 0;
    int last = pageCount() - 1;
    if (printer.printRange() == QPrinter::PageRange && printer.fromPage() > 0) {
        first = std::max(first, printer.fromPage() - 1);
        last = std::min(last, printer.toPage() > 0 ? printer.toPage() - 1 : last);
    }
    if (first > last)
        return;
    render(printer, first, last);
}

} // namespace vantor::report
