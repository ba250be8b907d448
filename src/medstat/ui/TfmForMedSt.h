#pragma once

#include "ObjectResolver.h"

#include <QDialog>

class QLineEdit;
class QPushButton;
struct MedstatParams;

// "Исходные данные для формирования файла МЗ РФ": form, cut, object and year of a run.
class TfmForMedSt : public QDialog {
    Q_OBJECT
public:
    TfmForMedSt(TdmMSSQL& dm, Prompter& prompter, QWidget* parent = nullptr);

    // Shows the dialog for a run: the form code is the collection's identifier, the
    // cut is emptied, the rest is kept from the last time. True for OK.
    bool execute(MedstatParams& params);

    QLineEdit* EditKod = nullptr;
    QLineEdit* EditRaz = nullptr;
    QLineEdit* EditOb = nullptr;
    QLineEdit* EditGod = nullptr;
    QLineEdit* EditFile = nullptr;
    QPushButton* bnOK = nullptr;
    QPushButton* bnNo = nullptr;

    void bnOKClick();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    Prompter& m_prompter;
    ObjectResolver m_resolver;
    MedstatParams* m_params = nullptr;
};

// The one dialog, created on first use and kept until the program ends.
TfmForMedSt& fmForMedSt(TdmMSSQL& dm, Prompter& prompter, QWidget* parent);
