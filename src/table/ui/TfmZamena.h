#pragma once

#include <QDialog>

class QCheckBox;
class QComboBox;
class QLabel;
class QPushButton;
class SupplierReplacement;

// "Замена поставщика": the item's current supplier against another of its offers.
class TfmZamena : public QDialog {
    Q_OBJECT
public:
    TfmZamena(SupplierReplacement& replacement, QWidget* parent = nullptr);

    QLabel* Lmed;
    QLabel* pnPost;
    QLabel* Lcena1;
    QLabel* Lsum1;
    QLabel* Ldef1;
    QComboBox* CBZam;
    QLabel* Lcena2;
    QLabel* Lsum2;
    QLabel* Ldef2;
    QLabel* Lproc;
    QLabel* Lotkl;
    QCheckBox* cbAll;
    QPushButton* bApply;

private:
    void CBZamChange();
    void bApplyClick();

    SupplierReplacement& m_replacement;
};
