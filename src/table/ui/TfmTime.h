#pragma once

#include "PeriodPicker.h"

#include <QDialog>

#include <functional>

class QListWidget;
class QPushButton;
class QTabWidget;

// "Периоды хранения в фондах данных": the period picker, created once and kept. The
// editor opens it from a period slot; "Применить" hands the picked periods over.
class TfmTime : public QDialog {
    Q_OBJECT
public:
    using Transfer = std::function<bool(const QList<PickedEntry>&)>;
    explicit TfmTime(Prompter& prompter, QWidget* parent = nullptr);

    // Refills the year lists and clears every choice (on every activation).
    void activate(const StoragePeriods& periods);
    void setTransfer(Transfer transfer) { m_transfer = std::move(transfer); }
    PeriodPicker& picker() { return m_picker; }

    QListWidget* lbOperG;
    QListWidget* lbOperM;
    QListWidget* lbDolg;
    QPushButton* bOK;
    QPushButton* bCancel;
    QTabWidget* pages;

private:
    void operYearChosen();
    void monthsClicked();
    void dolgClicked();
    void apply();
    void fillYears();

    PeriodPicker m_picker;
    Transfer m_transfer;
};
