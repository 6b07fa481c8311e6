#pragma once

#include "ReportDocument.h"

#include <QWidget>

#include <memory>

class QComboBox;
class QLabel;
class QPushButton;
class QScrollArea;

namespace vantor::report {

class PageView;

// The preview window of a report: one page at a time, with page buttons,
// a zoom list, Print (the system's print dialog) and Save as PDF.
class ReportPreview : public QWidget
{
    Q_OBJECT

public:
    explicit ReportPreview(QWidget* parent = nullptr);

    // Shows a freshly run report from its first page.
    void setDocument(std::shared_ptr<const ReportDocument> document);
    std::shared_ptr<const ReportDocument> document() const { return m_document; }

    int currentPage() const; // 0-based
    void showPage(int page); // clamped to the report's pages

    // Zoom choices as the list names them: "Fit Page", "Fit Width" or a percentage.
    void setZoomChoice(const QString& choice);

    void printReport();
    void saveAsPdf();

protected:
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    QPushButton* addButton(const char* name, const QString& text, const QString& tip);
    void applyZoom();
    void updateControls();

    std::shared_ptr<const ReportDocument> m_document;
    PageView* m_view;
    QScrollArea* m_scroll;
    QPushButton* m_first;
    QPushButton* m_previous;
    QPushButton* m_next;
    QPushButton* m_last;
    QLabel* m_pageLabel;
    QComboBox* m_zoom;
    QPushButton* m_print;
    QPushButton* m_savePdf;
    QPushButton* m_close;
};

} // namespace vantor::report
