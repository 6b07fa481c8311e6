#include "PageView.h"

#include <QPainter>

namespace vantor::report {

PageView::PageView(QWidget* parent) : QWidget(parent)
{
    setAutoFillBackground(false);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void PageView::setDocument(std::shared_ptr<const ReportDocument> document)
{
    m_document = std::move(document);
    m_page = 0;
    resize(sizeHint());
    update();
}

void PageView::setPage(int page)
{
    m_page = page;
    update();
}

void PageView::setZoom(double zoom)
{
    m_zoom = std::clamp(zoom, 0.1, 8.0);
    resize(sizeHint());
    update();
}

double PageView::pixelsPerTwip() const
{
    return m_zoom * logicalDpiX() / 1440.0;
}

QSize PageView::paperPixels() const
{
    const QSize paper = m_document ? m_document->geometry().paper : QSize(12240, 15840);
    return QSize(qRound(paper.width() * pixelsPerTwip()), qRound(paper.height() * pixelsPerTwip()));
}

QSize PageView::sizeHint() const
{
    return paperPixels() + QSize(2 * Desk, 2 * Desk);
}

double PageView::zoomToFitWidth(int width) const
{
    const QSize paper = m_document ? m_document->geometry().paper : QSize(12240, 15840);
    return double(std::max(width - 2 * Desk, 50)) * 1440.0 / (paper.width() * logicalDpiX());
}

double PageView::zoomToFitPage(const QSize& size) const
{
    const QSize paper = m_document ? m_document->geometry().paper : QSize(12240, 15840);
    const double byHeight =
        double(std::max(size.height() - 2 * Desk, 50)) * 1440.0 / (paper.height() * logicalDpiY());
    return std::min(zoomToFitWidth(size.width()), byHeight);
}

void PageView::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), QColor(128, 128, 128));
    const QRect paper(QPoint(Desk, Desk), paperPixels());
    painter.fillRect(paper.translated(4, 4), QColor(70, 70, 70));
    painter.fillRect(paper, Qt::white);
    if (!m_document)
        return;
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    painter.translate(paper.topLeft());
    painter.scale(pixelsPerTwip(), pixelsPerTwip());
    m_document->paintPage(painter, m_page);
}

} // namespace vantor::report
