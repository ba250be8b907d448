#pragma once

#include "PageSetupController.h"

#include <QDialog>

#include <functional>

class QCheckBox;
class QLineEdit;
class QRadioButton;
class QSpinBox;

// "Параметры страницы": the page setup of the table's workbook, modal. The fields
// follow the active sheet each time the dialog is shown; "ОК" writes them to the active
// sheet or, with "Применить ко всем листам", to every sheet.
class TfmSetParam : public QDialog {
    Q_OBJECT
public:
    TfmSetParam(PageSetupController& controller, QWidget* parent = nullptr);

    // Set by the owner: print with the print dialog, the printer setup, the preview's
    // repaint, and whether the preview is visible.
    std::function<bool()> printWithDialog;
    std::function<bool()> printerSetup;
    std::function<void()> repaintPreview;
    std::function<bool()> previewVisible;

    // Shows the dialog modally with the fields of the active sheet.
    int execFor();
    PageFields fields() const;

    void accept() override;
    void reject() override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void load(const PageFields& f);
    void scaleLeft();
    void stepMargin(QLineEdit* field, const QString& name, int direction);
    void insertCode(const QString& code);
    void printClicked(bool properties);
    QLineEdit* marginField(const QString& name, const QString& caption, class QGridLayout* grid,
                           int row);

    PageSetupController& m_controller;
    QRadioButton *VPage = nullptr, *HPage = nullptr;
    QCheckBox *BWPrint = nullptr, *HCenter = nullptr, *VCenter = nullptr, *ViewNet = nullptr,
              *ViewUpBorder = nullptr, *ViewLeftBorder = nullptr, *ShowText = nullptr,
              *ChangeAll = nullptr;
    QSpinBox* SpinEdit1 = nullptr;
    QLineEdit *LMargin = nullptr, *RMargin = nullptr, *UMargin = nullptr, *DMargin = nullptr,
              *UHeader = nullptr, *Dfooter = nullptr, *UpFooter = nullptr, *DownFooter = nullptr;
    QLineEdit* m_lastFooterField = nullptr;
};
