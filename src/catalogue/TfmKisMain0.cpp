#include "TfmKisMain0.h"

TfmKisMain0::TfmKisMain0(QWidget* parent) : QMainWindow(parent) {
    setObjectName(QStringLiteral("fmKisMain0"));
    setWindowTitle(mainCaption());
    resize(800, 600);
}
