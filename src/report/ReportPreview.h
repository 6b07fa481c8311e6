#pragma once

#include "ReportDocument.h"

#include <QWidget>

#include <memory>

class QComboBox;
class QLabel;
class QProgressBar;
class QPushButton;
class QScrollArea;

namespace vantor::report {

class PageView;
class ReportJob;

// The preview window of a report: one page at a time, with page buttons,
// a zoom list, Print (the system's print dialog) and Save as PDF. While a
// long report is still being laid out, a progress bar and Cancel show, and
// Print and Save wait for the last page.
//
// Not QPrintPreviewWidget: that one asks for every page at once through
// paintRequested and keeps each as a QPicture, so a report of tens of
// thousands of pages would show nothing until all were drawn and would hold
// them all in memory. Here the first page shows as soon as it is laid out and
// only the page on screen is drawn.
class ReportPreview : public QWidget
{
    Q_OBJECT
    Q_PROPERTY(bool layingOut READ isLayingOut)

public:
    explicit ReportPreview(QWidget* parent = nullptr);
    ~ReportPreview() override;

    // Shows a freshly run report from its first page; job, when given, lays
    // out the rest of it and belongs to the preview from now on.
    void setDocument(std::shared_ptr<const ReportDocument> document,
                     std::unique_ptr<ReportJob> job = {});
    bool isLayingOut() const;
    // Stops the laying out; the pages so far stay.
    void cancelLayout();
    std::shared_ptr<const ReportDocument> document() const { return m_document; }

    int currentPage() const; // 0-based
    void showPage(int page); // clamped to the report's pages

    // Zoom choices as the list names them: "Fit Page", "Fit Width" or a percentage.

    void printReport();
    void saveAsPdf();

protected:
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void createWidgets();
    void createLayout();
    void connectButtons();
    QPushButton* addButton(const char* name, const QString& text, const QString& tip);
    void applyZoom();
    void updateControls();
    void dropJob();

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
    QWidget* m_progressBar;
    QProgressBar* m_progress;
    QPushButton* m_cancel;
    ReportJob* m_job = nullptr;
};

} // namespace vantor::report
