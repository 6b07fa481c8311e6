#pragma once

#include "ReportDocument.h"

#include <QWidget>

#include <memory>

namespace vantor::report {

// One page of a report drawn as paper on a grey desk, at a zoom factor
// (1 = the paper's real size on this screen).
class PageView : public QWidget
{
    Q_OBJECT

public:
    explicit PageView(QWidget* parent = nullptr);

    void setDocument(std::shared_ptr<const ReportDocument> document);
    void setPage(int page);
    int page() const { return m_page; }
    void setZoom(double zoom);
    double zoom() const { return m_zoom; }

    // The zoom at which the paper fills the given width or size, desk margin included.
    double zoomToFitWidth(int width) const;
    double zoomToFitPage(const QSize& size) const;

    QSize sizeHint() const override;

    static constexpr int Desk = 16; // pixels of desk around the paper

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    double pixelsPerTwip() const;
    QSize paperPixels() const;

    std::shared_ptr<const ReportDocument> m_document;
    int m_page = 0;
    double m_zoom = 1.0;
};

} // namespace vantor::report
