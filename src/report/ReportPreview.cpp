#include "ReportPreview.h"

#include "PageView.h"
#include "ReportJob.h"

#include "platform/ReplacingFile.h"
#include "platform/Ui.h"
#include "store/ConnectionStrings.h"
#include "widgets/CommandGuard.h"

#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPrintDialog>
#include <QPrinter>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QShowEvent>
#include <QStyle>
#include <QVBoxLayout>

#if defined(__GLIBC__)
#include <malloc.h>
#endif

namespace vantor::report {

namespace {

const QString FitPage = QStringLiteral("Fit Page");
const QString FitWidth = QStringLiteral("Fit Width");

} // namespace

ReportPreview::ReportPreview(QWidget* parent) : QWidget(parent)
{
    setWindowTitle(QStringLiteral("Report"));
    createWidgets();
    createLayout();
    connectButtons();

    // Room for a page at its real width, and most of the screen's height.
    const QRect screen = QGuiApplication::primaryScreen()
                             ? QGuiApplication::primaryScreen()->availableGeometry()
                             : QRect(0, 0, 1024, 768);
    const int width = std::min(screen.width() * 9 / 10,
                               m_view->sizeHint().width() +
                                   m_scroll->verticalScrollBar()->sizeHint().width() + 4);
    resize(std::max(width, sizeHint().width()), screen.height() * 85 / 100);
    updateControls();
}

void ReportPreview::createWidgets()
{
    const auto pageButton = [this](const char* name, const QString& tip,
                                   QStyle::StandardPixmap icon, const QKeySequence& key) {
        QPushButton* b = addButton(name, QString(), tip);
        b->setIcon(style()->standardIcon(icon));
        b->setShortcut(key);
        return b;
    };
    m_first = pageButton("cmdFirst", tr("First page (Ctrl+Home)"), QStyle::SP_MediaSkipBackward,
                         QKeySequence(Qt::CTRL | Qt::Key_Home));
    m_previous = pageButton("cmdPrevious", tr("Previous page (Page Up)"),
                            QStyle::SP_MediaSeekBackward, QKeySequence(Qt::Key_PageUp));
    m_pageLabel = new QLabel(this);
    m_pageLabel->setObjectName(QStringLiteral("lblPages"));
    m_pageLabel->setAlignment(Qt::AlignCenter);
    m_pageLabel->setMinimumWidth(
        fontMetrics().horizontalAdvance(QStringLiteral("Page 00000 of 00000...")));
    m_next = pageButton("cmdNext", tr("Next page (Page Down)"), QStyle::SP_MediaSeekForward,
                        QKeySequence(Qt::Key_PageDown));
    m_last = pageButton("cmdLast", tr("Last page (Ctrl+End)"), QStyle::SP_MediaSkipForward,
                        QKeySequence(Qt::CTRL | Qt::Key_End));
    m_zoom = new QComboBox(this);
    m_zoom->setObjectName(QStringLiteral("cboZoom"));
    m_zoom->addItems({FitPage, FitWidth, QStringLiteral("50%"), QStringLiteral("75%"),
                      QStringLiteral("100%"), QStringLiteral("150%"), QStringLiteral("200%")});
    m_zoom->setCurrentText(FitWidth);
    m_print = addButton("cmdPrint", tr("&Print..."), tr("Print the report"));
    m_savePdf = addButton("cmdSavePdf", tr("Save as P&DF..."), tr("Save the report as a PDF file"));
    m_close = addButton("cmdClose", tr("&Close"), QString());
    m_progress = new QProgressBar(this);
    m_progress->setObjectName(QStringLiteral("prgLayout"));
    m_progress->setRange(0, 100);
    m_progress->setFormat(tr("Laying out pages: %p%"));
    m_cancel = addButton("cmdCancel", tr("Cancel"), tr("Stop laying out the report"));

    m_view = new PageView;
    m_view->setObjectName(QStringLiteral("pageView"));
    m_scroll = new QScrollArea(this);
    m_scroll->setObjectName(QStringLiteral("scrPage"));
    m_scroll->setWidget(m_view);
    m_scroll->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    m_scroll->setBackgroundRole(QPalette::Dark);
}

// The buttons on top; below them, while a long report is laid out, the
// progress (gone once it is); the page takes the rest.
void ReportPreview::createLayout()
{
    auto* bar = new QWidget(this);
    bar->setObjectName(QStringLiteral("picButtons"));
    auto* row = new QHBoxLayout(bar);
    row->setContentsMargins(6, 4, 6, 4);
    for (QWidget* w : {static_cast<QWidget*>(m_first), static_cast<QWidget*>(m_previous),
                       static_cast<QWidget*>(m_pageLabel), static_cast<QWidget*>(m_next),
                       static_cast<QWidget*>(m_last)})
        row->addWidget(w);
    row->addSpacing(12);
    auto* zoomLabel = new QLabel(tr("&Zoom:"), this);
    zoomLabel->setBuddy(m_zoom);
    row->addWidget(zoomLabel);
    row->addWidget(m_zoom);
    row->addStretch(1);
    row->addWidget(m_print);
    row->addWidget(m_savePdf);
    row->addWidget(m_close);

    m_progressBar = new QWidget(this);
    m_progressBar->setObjectName(QStringLiteral("picProgress"));
    auto* progressRow = new QHBoxLayout(m_progressBar);
    progressRow->setContentsMargins(6, 0, 6, 4);
    progressRow->addWidget(m_progress, 1);
    progressRow->addWidget(m_cancel);
    m_progressBar->hide();

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(bar);
    layout->addWidget(m_progressBar);
    layout->addWidget(m_scroll, 1);
}

void ReportPreview::connectButtons()
{
    connect(m_first, &QPushButton::clicked, this, [this] { showPage(0); });
    connect(m_previous, &QPushButton::clicked, this, [this] { showPage(currentPage() - 1); });
    connect(m_next, &QPushButton::clicked, this, [this] { showPage(currentPage() + 1); });
    connect(m_last, &QPushButton::clicked, this,
            [this] { showPage(m_document ? m_document->pageCount() - 1 : 0); });
    connect(m_zoom, &QComboBox::currentTextChanged, this, &ReportPreview::applyZoom);
    connect(m_print, &QPushButton::clicked, this, &ReportPreview::printReport);
    connect(m_savePdf, &QPushButton::clicked, this, &ReportPreview::saveAsPdf);
    connect(m_close, &QPushButton::clicked, this, &QWidget::close);
    connect(m_cancel, &QPushButton::clicked, this, &ReportPreview::cancelLayout);
}

QPushButton* ReportPreview::addButton(const char* name, const QString& text, const QString& tip)
{
    auto* b = new QPushButton(text, this);
    b->setObjectName(QLatin1String(name));
    if (text.isEmpty())
        b->setAccessibleName(tip);
    b->setToolTip(tip);
    b->setAutoDefault(false);
    return b;
}

ReportPreview::~ReportPreview()
{
    dropJob();
    m_view->setDocument(nullptr);
    m_document.reset();
#if defined(__GLIBC__)
    // A long report leaves many small blocks behind: hand the memory back to
    // the system now rather than keep it for the next report.
    malloc_trim(0);
#endif
}

void ReportPreview::dropJob()
{
    if (!m_job)
        return;
    ReportJob* job = m_job;
    m_job = nullptr;
    delete job; // stops the laying out and lets the rows go
}

bool ReportPreview::isLayingOut() const
{
    return m_job && m_job->isRunning();
}

void ReportPreview::cancelLayout()
{
    if (m_job)
        m_job->cancel();
}

void ReportPreview::setDocument(std::shared_ptr<const ReportDocument> document,
                                std::unique_ptr<ReportJob> job)
{
    dropJob();
    m_job = job.release();
    if (m_job) {
        m_job->setParent(this);
        connect(m_job, &ReportJob::advanced, this, [this] {
            updateControls();
            // The page shown may be the one still filling, and its footer
            // shows the page count once it is known.
            m_view->update();
        });
        connect(m_job, &ReportJob::finished, this, [this](const QString& failure) {
            updateControls();
            m_view->update();
            if (!failure.isEmpty())
                platform::showMessage(failure, platform::Icon::Critical,
                                      QStringLiteral("Preview Report"));
        });
        m_job->start();
    }
    m_document = std::move(document);
    setWindowTitle(m_document ? m_document->definition().caption() : QStringLiteral("Report"));
    m_view->setDocument(m_document);
    applyZoom();
    showPage(0);
}

int ReportPreview::currentPage() const
{
    return m_view->page();
}

void ReportPreview::showPage(int page)
{
    const int count = m_document ? m_document->pageCount() : 1;
    m_view->setPage(std::clamp(page, 0, count - 1));
    m_scroll->verticalScrollBar()->setValue(0);
    updateControls();
}

void ReportPreview::applyZoom()
{
    const QString choice = m_zoom->currentText();
    const QSize room = m_scroll->viewport()->size();
    double zoom = 1.0;
    if (choice == FitPage) {
        zoom = m_view->zoomToFitPage(room);
    } else if (choice == FitWidth) {
        // A page fitted to the width is taller than the window: leave room
        // for the vertical scroll bar it brings.
        const int bar = style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, m_scroll);
        zoom = m_view->zoomToFitWidth(m_scroll->width() - 2 * m_scroll->frameWidth() - bar);
    } else {
        QString percent = choice;
        percent.remove(u'%');
        zoom = percent.toDouble() / 100.0;
    }
    const bool fitted = choice == FitPage || choice == FitWidth;
    m_scroll->setHorizontalScrollBarPolicy(fitted ? Qt::ScrollBarAlwaysOff : Qt::ScrollBarAsNeeded);
    m_view->setZoom(zoom > 0 ? zoom : 1.0);
}

// The preview opens whole on the screen it appears on, frame and all: a
// small screen gets a smaller window, never one whose buttons are out of reach.
void ReportPreview::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    if (event->spontaneous() || isMaximized() || isFullScreen())
        return;
    const QScreen* shown = screen() ? screen() : QGuiApplication::primaryScreen();
    if (!shown)
        return;
    const QRect room = shown->availableGeometry();
    const QSize frame = frameGeometry().size() - size();
    const QSize fitted = size().boundedTo(room.size() - frame);
    if (fitted != size())
        resize(fitted);
    QRect outer = frameGeometry();
    outer.setSize(fitted + frame);
    const int left = std::clamp(outer.left(), room.left(), room.right() + 1 - outer.width());
    const int top = std::clamp(outer.top(), room.top(), room.bottom() + 1 - outer.height());
    if (left != outer.left() || top != outer.top())
        move(left, top);
}

void ReportPreview::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    applyZoom();
}

void ReportPreview::updateControls()
{
    const int count = m_document ? m_document->pageCount() : 0;
    const int page = currentPage();
    const bool layingOut = isLayingOut();
    QString pages = count ? tr("Page %1 of %2").arg(page + 1).arg(count) : QString();
    if (layingOut)
        pages += QStringLiteral("...");
    m_pageLabel->setText(pages);
    m_progressBar->setVisible(layingOut);
    if (layingOut)
        m_progress->setValue(int(m_job->progress() * 100));
    m_first->setEnabled(count && page > 0);
    m_previous->setEnabled(count && page > 0);
    m_next->setEnabled(count && page < count - 1);
    m_last->setEnabled(count && page < count - 1);
    m_print->setEnabled(count > 0 && !layingOut);
    m_savePdf->setEnabled(count > 0 && !layingOut);
}

namespace {

// The results file the windows open: vantor.mdb in the working folder.
QString databaseFile()
{
    return QDir::current().absoluteFilePath(QLatin1String(store::DatabaseFileName));
}

} // namespace

void ReportPreview::printReport()
{
    if (!m_document || isLayingOut())
        return;
    QPrinter printer(QPrinter::HighResolution);
    printer.setDocName(m_document->definition().caption());
    const QSize paper = m_document->geometry().paper;
    printer.setPageSize(QPageSize(QSizeF(paper) / 1440.0, QPageSize::Inch));
    QPrintDialog dialog(&printer, this);
    dialog.setMinMax(1, m_document->pageCount());
    dialog.setOption(QAbstractPrintDialog::PrintPageRange);
    if (dialog.exec() != QDialog::Accepted)
        return;
    platform::BusyPointer busy;
    widgets::runCommand(
        [&] {
            // The print dialog's "print to file" must not land on the results file either.
            if (!printer.outputFileName().isEmpty())
                platform::refuseDatabaseTarget(printer.outputFileName(), databaseFile());
            m_document->print(printer);
        },
        tr("Print"));
}

void ReportPreview::saveAsPdf()
{
    if (!m_document || isLayingOut())
        return;
    QString file = platform::ui().saveFileName(
        tr("Save Report as PDF"), m_document->definition().caption() + QStringLiteral(".pdf"),
        tr("PDF files (*.pdf)"));
    if (file.isEmpty())
        return;
    if (QFileInfo(file).suffix().isEmpty())
        file += QStringLiteral(".pdf");
    platform::BusyPointer busy;
    widgets::runCommand([&] { m_document->writePdf(file, databaseFile()); }, tr("Save as PDF"));
}

} // namespace vantor::report
