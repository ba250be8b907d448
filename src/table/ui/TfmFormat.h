#pragma once

#include "FormatKinds.h"

#include <QDialog>

class QCheckBox;
class QLabel;
class QListWidget;
class QPushButton;
class QSpinBox;

// "Формат ячеек": the number-format kinds. "Применить" gives the format to write;
// "Отменить" changes nothing.
class TfmFormat : public QDialog {
    Q_OBJECT
public:
    TfmFormat(const QString& format, bool locked, QWidget* parent = nullptr);

    QString formatText() const;
    bool locked() const;
    FormatKinds::Choice choice() const;
    void setKind(FormatKinds::Kind kind);
    void setDigits(int digits);
    void setRedNegatives(bool red);
    void setDateSample(int index);

    QListWidget* ListBF = nullptr;
    QSpinBox* EditZ = nullptr;
    QListWidget* ListD = nullptr;
    QCheckBox* CheckLoc = nullptr;
    QPushButton* bOk = nullptr;
    QPushButton* BCans = nullptr;

private:
    void kindChanged();

    QString m_original;
    QLabel* m_digitsCaption = nullptr;
    QLabel* m_negCaption = nullptr;
    QPushButton* Lp = nullptr;
    QPushButton* Lot = nullptr;
    QLabel* m_sampleCaption = nullptr;
    QLabel* Memo1 = nullptr;
};
