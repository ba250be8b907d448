#pragma once

#include "IdentContext.h"

#include <QDialog>

#include <memory>

class IdentOptionsController;
class QButtonGroup;
class QCheckBox;
class QComboBox;
class QPushButton;
class QRadioButton;

// "Опции идентификации": one window for the whole program. The " Видимые параметры "
// boxes show or hide the slots of the current identification sheet at once; "Отменить"
// (and Escape) puts them back and leaves the options as they were.
class TfmOptions : public QDialog {
    Q_OBJECT
public:
    // The program's one instance, created on first use.
    static TfmOptions& fmOptions();
    ~TfmOptions() override;

    // Fills the window for the table of `ctx` (FormActivate); `showFor` also runs it modally.
    void prepare(IdentContext& ctx);
    int showFor(IdentContext& ctx);

    QComboBox* CBox = nullptr;
    QButtonGroup* rgOption = nullptr;
    QCheckBox* ChPok = nullptr;
    QCheckBox* ChObj = nullptr;
    QCheckBox* ChPer = nullptr;
    QCheckBox* ChBox = nullptr;
    QPushButton* bOK = nullptr;
    QPushButton* bCancel = nullptr;

public slots:
    void accept() override;
    void reject() override;

private:
    explicit TfmOptions(QWidget* parent = nullptr);
    void setBoxes(bool pok, bool obj, bool per);

    std::unique_ptr<IdentOptionsController> m_controller;
    IdentOptions* m_options = nullptr;
    bool m_filling = false;
};
