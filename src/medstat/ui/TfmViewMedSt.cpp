#include "TfmViewMedSt.h"

#include "DbfGridModel.h"
#include "HelpContexts.h"
#include "HelpKey.h"

#include <QHeaderView>
#include <QTableView>
#include <QVBoxLayout>

TfmViewMedSt::TfmViewMedSt(DbfTable& table, Prompter& prompter, QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("Просмотр (редактирование) файла MEDSTAT.DBF"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    dgMedSt = new QTableView(this);
    dgMedSt->setObjectName(QStringLiteral("dgMedSt"));
    dsMedSt = new DbfGridModel(table, prompter, this);
    dgMedSt->setModel(dsMedSt);
    dgMedSt->horizontalHeader()->setDefaultSectionSize(70);
    layout->addWidget(dgMedSt);
    resize(900, 500);
    SetHelpContext(this, HelpContexts::MedstatViewer);
}
