#pragma once

#include <QString>

// What the dialog of the report file sets; kept until the program ends and read
// again by the control.
struct MedstatParams {
    QString form;       // three characters
    QString cut;        // four characters
    QString object;     // the text typed as the object code for search
    int objectType = 0; // NUMAGR, 99 for the objects directory, 0 for none
    QString objectName;
    QString year;       // two characters
    QString fileObject; // written into A2 when not blank

    // The program-wide parameters.
    static MedstatParams& current();
};

// The codes as the report file holds them. Each pads a text typed into the dialog
// and returns false (with `error` set) when it cannot be used.
namespace MedstatCodes {
bool form(const QString& text, QString& out, QString& error);
bool cut(const QString& text, QString& out, QString& error);
bool year(const QString& text, QString& out, QString& error);
// KODALT: "00" before four characters, "0" before five, others as they are.
QString tableCode(const QString& kodAlt);
// A row code: "00" before one character, "0" before two.
QString rowCode(const QString& code);
} // namespace MedstatCodes
