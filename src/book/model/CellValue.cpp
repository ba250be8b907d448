#include "CellValue.h"

QString errorText(CellError error) {
    switch (error) {
    case CellError::Div0:
        return QStringLiteral("#DIV/0!");
    case CellError::Value:
        return QStringLiteral("#VALUE!");
    case CellError::Ref:
        return QStringLiteral("#REF!");
    case CellError::Name:
        return QStringLiteral("#NAME?");
    case CellError::NA:
        return QStringLiteral("#N/A");
    case CellError::Num:
        return QStringLiteral("#NUM!");
    default:
        return {};
    }
}

CellError errorFromText(QStringView text) {
    for (CellError e : {CellError::Div0, CellError::Value, CellError::Ref, CellError::Name,
                        CellError::NA, CellError::Num})
        if (text.compare(errorText(e), Qt::CaseInsensitive) == 0)
            return e;
    return CellError::None;
}
