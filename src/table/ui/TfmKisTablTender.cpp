#include "IdentModel.h"
#include "SupplierReplacement.h"
#include "TBook.h"
#include "TenderController.h"
#include "TfmKisTabl.h"
#include "TfmZamena.h"

#include <QMenu>

void TfmKisTabl::buildTenderMenu(QMenu* tender) {
    onCommand(addAction(tender, QStringLiteral("mPredl"), QStringLiteral("Сводный заказ")),
              [this] { tenderCommand(&TenderController::mPredlClick); });
    onCommand(addAction(tender, QStringLiteral("mAnal"), QStringLiteral("Анализ распределения")),
              [this] { tenderCommand(&TenderController::mAnalClick); });
    onCommand(addAction(tender, QStringLiteral("mSpec"), QStringLiteral("Спецификация")),
              [this] { tenderCommand(&TenderController::mSpecClick); });
    tender->addSeparator();
    onCommand(addAction(tender, QStringLiteral("mRazn"), QStringLiteral("Разнарядка")),
              [this] { tenderCommand(&TenderController::mRaznClick); });
}

void TfmKisTabl::tenderCommand(bool (TenderController::*command)()) {
    // The allocation fills through the window's own filling, active sheet only.
    auto fillActive = [this] {
        setTenderFill(true);
        SBunloadClick();
        setTenderFill(false);
        return true;
    };
    TenderController tender(m_dm, m_doc.model(), m_sheets, m_prompter, m_doc.table(), fillActive);
    try {
        (tender.*command)();
    } catch (const std::exception& e) {
        m_prompter.error(QStringLiteral("Ошибка тендерного расчета\r\n\r\n") + ErrorText(e));
    }
    Book->setSheet(m_book.activeSheetIndex());
    updateSheetCommands();
    Book->viewport()->update();
}

bool TfmKisTabl::replaceSupplierAt(int row) {
    IdentModel& model = m_doc.model();
    if (m_doc.table().kodAlt.trimmed() != QStringLiteral("Пост.") ||
        !SupplierReplacement::opensAt(model, Book->sheet(), row))
        return false;
    SupplierReplacement replacement(model, Book->sheet(), row);
    TfmZamena window(replacement, this);
    if (window.exec() == QDialog::Accepted) {
        updateUndoCommands();
        Book->viewport()->update();
    }
    return true;
}
