#pragma once

#include "PageLayout.h"

#include <QDialog>

#include <functional>
#include <memory>

class PagePreviewCanvas;
class PageSetupController;
class PreviewPager;
class Prompter;
class QAction;
class QLabel;
class QScrollArea;
class TfmSetParam;
class Workbook;

// "Предварительный просмотр": the pages of the active sheet as the page layout cuts
// them, one at a time, with page navigation, zoom, orientation, printing, the page setup
// and saving as PDF. Closing brings back the title lines and the accompanying text.
class TfmPPrev : public QDialog {
    Q_OBJECT
public:
    TfmPPrev(Workbook& book, PageSetupController& controller, PreviewPager& pager,
             Prompter& prompter, TfmSetParam& pageSetup, QWidget* parent = nullptr);
    ~TfmPPrev() override;

    // Whether the editor shows the accompanying text (read when the preview opens and closes).
    std::function<bool()> accompanyingTextShown;

    // Shows the preview modally (PreparePreview has run).
    int execPreview();
    // Lays the pages out again and repaints.
    void refresh();
    QAction* action(const QString& name) const;
    const PageLayout* pageLayout() const { return m_layout.get(); }

    void nextPage();
    void previousPage();
    void toggleOrientation();
    void setZoomed(bool on);
    void savePdf();
    void printPages();
    void pageSetup();

protected:
    void done(int result) override;
    void showEvent(QShowEvent* event) override;

private:
    QAction* addTool(const QString& name, const QString& caption);
    void updateButtons();

    Workbook& m_book;
    PageSetupController& m_controller;
    PreviewPager& m_pager;
    Prompter& m_prompter;
    TfmSetParam& m_pageSetup;
    std::unique_ptr<PageLayout> m_layout;
    PagePreviewCanvas* m_canvas = nullptr;
    QScrollArea* m_scroll = nullptr;
    QLabel* m_pageLabel = nullptr;
};
