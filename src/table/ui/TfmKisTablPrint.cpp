// The editor's printing commands: print, preview, page setup, the printer, page-break
// marking and the table's HTML pages.
#include "TfmKisTabl.h"

#include "HtmlExport.h"
#include "HtmlTableExport.h"
#include "PageSetupController.h"
#include "PreviewPager.h"
#include "PrintDevice.h"
#include "Prompter.h"
#include "TBook.h"
#include "TfmPPrev.h"
#include "TfmSetParam.h"

#include <QAction>
#include <QFileInfo>
#include <QMenu>

void TfmKisTabl::buildPrintCommands(QMenu* file, QMenu* view) {
    if (file) {
        onCommand(addAction(file, QStringLiteral("imPrint"), QStringLiteral("Печать ")),
                  [this] { cmPrint(false); });
        onCommand(
            addAction(file, QStringLiteral("imProsm"), QStringLiteral("Предварительный просмотр")),
            &TfmKisTabl::cmPreview);
        QAction* param =
            addAction(file, QStringLiteral("imPageParam"), QStringLiteral("Параметры страницы"));
        param->setCheckable(true);
        onCommand(param, &TfmKisTabl::cmPageSetup);
        onCommand(addAction(file, QStringLiteral("Mprinter"), QStringLiteral("Принтер")),
                  &TfmKisTabl::cmPrinter);
        onCommand(addAction(file, QStringLiteral("imHTML"),
                            QStringLiteral("Сохранить как HTML-страницу")),
                  &TfmKisTabl::cmSaveHtml);
    }
    if (view) {
        view->addSeparator();
        QAction* parts =
            addAction(view, QStringLiteral("MPageParts"), QStringLiteral("Разметка страницы"));
        parts->setCheckable(true);
        onCommand(parts, [this, parts] { cmPageParts(parts->isChecked()); });
        // While marking is on, every mouse release in the workbook lays the breaks again.
        connect(Book, &TBook::OnMouseUp, this, [this, parts] {
            if (parts->isChecked()) {
                pageSetup().markPageBreaks();
                Book->viewport()->update();
            }
        });
    }
}

PageSetupController& TfmKisTabl::pageSetup() {
    if (!m_pageSetup)
        m_pageSetup = std::make_unique<PageSetupController>(m_book, m_doc.model(), m_prompter);
    return *m_pageSetup;
}

TfmSetParam& TfmKisTabl::fmSetParam() {
    if (!m_fmSetParam) {
        m_fmSetParam = std::make_unique<TfmSetParam>(pageSetup(), this);
        m_fmSetParam->printWithDialog = [this] {
            if (!PrintDevice::printWithDialog(m_book.activeSheet(), m_fmSetParam.get()))
                m_prompter.info(QStringLiteral("Принтер не установлен"));
            return true;
        };
        m_fmSetParam->printerSetup = [this] {
            if (!PrintDevice::printerSetup(m_fmSetParam.get()))
                m_prompter.info(QStringLiteral("Принтер не установлен"));
            return true;
        };
    }
    return *m_fmSetParam;
}

TfmPPrev& TfmKisTabl::fmPPrev() {
    if (!m_fmPPrev) {
        m_fmPPrev = std::make_unique<TfmPPrev>(m_book, pageSetup(), SharedPreviewPager(),
                                               m_prompter, fmSetParam(), this);
        m_fmPPrev->accompanyingTextShown = [this] { return m_sheets.accompanyingTextShown(); };
    }
    return *m_fmPPrev;
}

void TfmKisTabl::cmPrint(bool fromToolBar) {
    if (!PrintDevice::printNow(m_book.activeSheet()))
        m_prompter.info(fromToolBar ? QStringLiteral("Принтер не установлен в системе")
                                    : QStringLiteral("Принтер не установлен"));
}

void TfmKisTabl::cmPreview() {
    if (!pageSetup().preparePreview(m_sheets.accompanyingTextShown()))
        return;
    m_doc.model().readGeometry();
    Book->setActiveCell(m_doc.model().lastHeaderRow() + 1, 2);
    fmPPrev().execPreview();
    Book->viewport()->update();
}

void TfmKisTabl::cmPageSetup() {
    pageSetup().openFromMenu(m_sheets.accompanyingTextShown());
    action(QStringLiteral("imPageParam"))->setChecked(true);
    fmSetParam().execFor();
    action(QStringLiteral("imPageParam"))->setChecked(pageSetup().menuTicked());
    action(QStringLiteral("ShowSText"))->setChecked(m_sheets.accompanyingTextShown());
    Book->viewport()->update();
}

void TfmKisTabl::cmPrinter() {
    if (!PrintDevice::printerSetup(this))
        m_prompter.info(QStringLiteral("Принтер не установлен"));
}

void TfmKisTabl::cmPageParts(bool on) {
    if (on)
        return; // the breaks appear at the next mouse release
    pageSetup().clearPageBreaks();
    Book->viewport()->update();
}

void TfmKisTabl::cmSaveHtml() {
    const int kod = m_doc.table().kodElmt;
    const QString chosen = m_prompter.saveFileName(
        QStringLiteral("Сохранить как страницу сборника таблиц"), HtmlTableExport::pageName(kod),
        QStringLiteral("HTML (*.HTM *.htm)"));
    if (chosen.isEmpty())
        return;
    HtmlExport::writeTablePages(m_doc.model(), m_prompter, kod, m_doc.table().name,
                                HtmlExport::tablePagePath(chosen, kod));
}

bool TfmKisTabl::writeHtmlAs(const QString& path) {
    const QFileInfo file(path);
    const HtmlTableExport table(m_doc.model(), m_doc.table().kodElmt, m_doc.table().name);
    return table.pages(file.fileName()).write(file.absolutePath(), nullptr);
}
