#include "TfmPPrev.h"

#include "HelpContexts.h"
#include "HelpKey.h"
#include "PagePreviewCanvas.h"
#include "PageSetupController.h"
#include "PdfExport.h"
#include "PreviewPager.h"
#include "PrintDevice.h"
#include "Prompter.h"
#include "TfmSetParam.h"

#include "model/Workbook.h"

#include <QAction>
#include <QFileInfo>
#include <QLabel>
#include <QScrollArea>
#include <QScrollBar>
#include <QScreen>
#include <QToolBar>
#include <QVBoxLayout>

TfmPPrev::TfmPPrev(Workbook& book, PageSetupController& controller, PreviewPager& pager,
                   Prompter& prompter, TfmSetParam& pageSetup, QWidget* parent)
    : QDialog(parent, Qt::FramelessWindowHint), m_book(book), m_controller(controller),
      m_pager(pager), m_prompter(prompter), m_pageSetup(pageSetup) {
    setObjectName(QStringLiteral("fmPPrev"));
    setWindowTitle(QStringLiteral("Предварительный просмотр"));
    SetHelpContext(this, HelpContexts::Preview);
    auto* bar = new QToolBar(this);
    bar->setObjectName(QStringLiteral("PrevTB"));
    connect(addTool(QStringLiteral("sbPrev"), QStringLiteral("Назад")), &QAction::triggered, this,
            &TfmPPrev::previousPage);
    connect(addTool(QStringLiteral("sbNext"), QStringLiteral("Далее")), &QAction::triggered, this,
            &TfmPPrev::nextPage);
    connect(addTool(QStringLiteral("sbOrient"), QStringLiteral("Ориентация")), &QAction::triggered,
            this, &TfmPPrev::toggleOrientation);
    QAction* zoom = addTool(QStringLiteral("sbZoom"), QStringLiteral("Масштаб"));
    zoom->setCheckable(true);
    connect(zoom, &QAction::toggled, this, &TfmPPrev::setZoomed);
    connect(addTool(QStringLiteral("sbPrint"), QStringLiteral("Печать...")), &QAction::triggered,
            this, &TfmPPrev::printPages);
    connect(addTool(QStringLiteral("sbPage"), QStringLiteral("Страница...")), &QAction::triggered,
            this, &TfmPPrev::pageSetup);
    connect(addTool(QStringLiteral("sbPdf"), QStringLiteral("Сохранить как PDF...")),
            &QAction::triggered, this, &TfmPPrev::savePdf);
    connect(addTool(QStringLiteral("sbClose"), QStringLiteral("Закрыть")), &QAction::triggered,
            this, &QDialog::accept);
    for (QAction* a : findChildren<QAction*>())
        bar->addAction(a);
    m_pageLabel = new QLabel(bar);
    m_pageLabel->setObjectName(QStringLiteral("lbPage"));
    bar->addSeparator();
    bar->addWidget(m_pageLabel);

    m_canvas = new PagePreviewCanvas;
    m_canvas->layout = [this] { return m_layout.get(); };
    m_scroll = new QScrollArea(this);
    m_scroll->setObjectName(QStringLiteral("PrevScroll"));
    m_scroll->setWidget(m_canvas);
    m_scroll->setWidgetResizable(true);
    m_scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_scroll->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_scroll->verticalScrollBar()->setSingleStep(10);
    m_scroll->verticalScrollBar()->setPageStep(100);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(bar);
    layout->addWidget(m_scroll, 1);
    setWindowState(Qt::WindowMaximized);

    m_pageSetup.repaintPreview = [this] { refresh(); };
    m_pageSetup.previewVisible = [this] { return isVisible(); };
}

TfmPPrev::~TfmPPrev() {
    m_pageSetup.repaintPreview = nullptr;
    m_pageSetup.previewVisible = nullptr;
}

QAction* TfmPPrev::addTool(const QString& name, const QString& caption) {
    auto* a = new QAction(caption, this);
    a->setObjectName(name);
    return a;
}

QAction* TfmPPrev::action(const QString& name) const {
    return findChild<QAction*>(name);
}

int TfmPPrev::execPreview() {
    refresh();
    // A borderless window the user cannot resize: it takes the whole screen.
    setGeometry(screen()->availableGeometry());
    setWindowState(windowState() | Qt::WindowMaximized);
    return exec();
}

void TfmPPrev::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    refresh();
}

void TfmPPrev::refresh() {
    m_layout = std::make_unique<PageLayout>(m_book.activeSheet());
    m_pager.setCount(m_layout->pageCount());
    m_canvas->pageIndex = m_pager.page() - 1;
    if (m_canvas->zoomed())
        m_canvas->setZoomed(true, m_scroll->viewport()->size());
    updateButtons();
    m_canvas->update();
}

void TfmPPrev::updateButtons() {
    action(QStringLiteral("sbPrev"))->setEnabled(m_pager.canGoBack());
    action(QStringLiteral("sbNext"))->setEnabled(m_pager.canGoOn());
    m_pageLabel->setText(
        QStringLiteral("Страница %1 из %2").arg(m_pager.page()).arg(m_pager.count()));
}

void TfmPPrev::nextPage() {
    m_pager.next();
    m_canvas->pageIndex = m_pager.page() - 1;
    updateButtons();
    m_canvas->update();
}

void TfmPPrev::previousPage() {
    m_pager.previous();
    m_canvas->pageIndex = m_pager.page() - 1;
    updateButtons();
    m_canvas->update();
}

void TfmPPrev::toggleOrientation() {
    m_controller.toggleOrientation(m_pageSetup.fields().applyAll);
    refresh();
}

void TfmPPrev::setZoomed(bool on) {
    const Qt::ScrollBarPolicy policy = on ? Qt::ScrollBarAsNeeded : Qt::ScrollBarAlwaysOff;
    m_scroll->setHorizontalScrollBarPolicy(policy);
    m_scroll->setVerticalScrollBarPolicy(policy);
    m_scroll->setWidgetResizable(!on);
    m_canvas->setZoomed(on, m_scroll->viewport()->size());
    if (on) {
        m_scroll->horizontalScrollBar()->setValue(0);
        m_scroll->verticalScrollBar()->setValue(0);
    }
}

void TfmPPrev::savePdf() {
    QString path = m_prompter.saveFileName(QStringLiteral("Сохранить как PDF"), QString(),
                                           QStringLiteral("Файлы PDF (*.pdf)"));
    if (path.isEmpty())
        return;
    if (QFileInfo(path).suffix().isEmpty())
        path += QStringLiteral(".pdf");
    QString error;
    if (PdfExport::write(m_book.activeSheet(), path, &error) == 0)
        m_prompter.error(QStringLiteral("Не удалось сохранить PDF-файл\r\n\r\n") + error);
}

void TfmPPrev::printPages() {
    if (!PrintDevice::printWithDialog(m_book.activeSheet(), this))
        m_prompter.info(QStringLiteral("Принтер не установлен"));
}

void TfmPPrev::pageSetup() {
    m_pageSetup.execFor();
    refresh();
}

void TfmPPrev::done(int result) {
    m_controller.closePreview(accompanyingTextShown && accompanyingTextShown());
    action(QStringLiteral("sbZoom"))->setChecked(false);
    QDialog::done(result);
}
