#include "TfmForMedSt.h"

#include "HelpContexts.h"
#include "HelpKey.h"
#include "MedstatParams.h"

#include <QFocusEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>

TfmForMedSt::TfmForMedSt(TdmMSSQL& dm, Prompter& prompter, QWidget* parent)
    : QDialog(parent), m_prompter(prompter), m_resolver(dm, prompter) {
    setWindowTitle(QStringLiteral("Исходные данные для формирования файла МЗ РФ"));
    auto* grid = new QGridLayout(this);
    auto edit = [&](const char* name, const QString& caption, int row, int col) {
        auto* e = new QLineEdit(this);
        e->setObjectName(QString::fromLatin1(name));
        grid->addWidget(new QLabel(caption, this), row, col);
        grid->addWidget(e, row + 1, col);
        return e;
    };
    EditKod = edit("EditKod", QStringLiteral("Код формы:"), 0, 0);
    EditRaz = edit("EditRaz", QStringLiteral("Разрез"), 0, 1);
    EditOb = edit("EditOb", QStringLiteral("Код объекта\nдля поиска"), 0, 2);
    EditGod = edit("EditGod", QStringLiteral("Год"), 0, 3);
    EditFile = edit("EditFile", QStringLiteral("Код объекта\nдля файла"), 0, 4);
    auto* buttons = new QHBoxLayout;
    bnOK = new QPushButton(QStringLiteral("OK"), this);
    bnNo = new QPushButton(QStringLiteral("Отмена"), this);
    bnOK->setDefault(true);
    buttons->addStretch(1);
    buttons->addWidget(bnOK);
    buttons->addWidget(bnNo);
    grid->addLayout(buttons, 2, 0, 1, 5);
    connect(bnOK, &QPushButton::clicked, this, &TfmForMedSt::bnOKClick);
    connect(bnNo, &QPushButton::clicked, this, &QDialog::reject);
    EditOb->installEventFilter(this);
    SetHelpContext(this, HelpContexts::MedstatDialog);
}

bool TfmForMedSt::execute(MedstatParams& params) {
    m_params = &params;
    EditKod->setText(params.form);
    EditRaz->clear();
    EditKod->setFocus();
    const bool ok = exec() == QDialog::Accepted;
    m_params = nullptr;
    return ok;
}

void TfmForMedSt::bnOKClick() {
    if (!m_params)
        return;
    const MedstatDialogFields f{EditKod->text(), EditRaz->text(), EditOb->text(), EditGod->text(),
                                EditFile->text()};
    switch (AcceptMedstatDialog(f, *m_params, m_resolver, m_prompter)) {
    case MedstatFocus::None:
        accept();
        return;
    case MedstatFocus::Kod:
        EditKod->setFocus();
        return;
    case MedstatFocus::Raz:
        EditRaz->setFocus();
        return;
    case MedstatFocus::Ob:
        EditOb->setFocus();
        return;
    case MedstatFocus::God:
        EditGod->setFocus();
        return;
    }
}

bool TfmForMedSt::eventFilter(QObject* watched, QEvent* event) {
    // Leaving the object code resolves it, so the name is known before OK.
    if (watched == EditOb && event->type() == QEvent::FocusOut && m_params && isVisible()) {
        const auto reason = static_cast<QFocusEvent*>(event)->reason();
        const bool moved = reason == Qt::TabFocusReason || reason == Qt::BacktabFocusReason ||
                           reason == Qt::MouseFocusReason;
        if (moved && !bnNo->underMouse() && !bnOK->underMouse())
            m_resolver.resolve(EditOb->text(), *m_params);
    }
    return QDialog::eventFilter(watched, event);
}

TfmForMedSt& fmForMedSt(TdmMSSQL& dm, Prompter& prompter, QWidget* parent) {
    static QPointer<TfmForMedSt> dialog;
    if (!dialog)
        dialog = new TfmForMedSt(dm, prompter, parent);
    return *dialog;
}
