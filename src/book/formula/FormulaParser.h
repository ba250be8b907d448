#pragma once

#include "FormulaCode.h"

#include <QString>

#include <memory>

class Workbook;
class Sheet;

// Compiles formula text (without the leading "=") for a host cell. References are stored
// relative to (hostRow, hostCol) unless written with "$"; sheet names are looked up in the
// workbook. A syntax error gives null and a message in `error`.
class FormulaParser {
public:
    FormulaParser(const Workbook& book, const Sheet* hostSheet, int hostRow, int hostCol);
    std::shared_ptr<FormulaCode> compile(const QString& text, QString* error = nullptr);
    // The first sheet name of the text that the workbook does not have (its reference
    // compiles to #REF!); empty when every sheet exists.
    QString missingSheet() const { return m_missingSheet; }

private:
    enum class Tok {
        End,
        Number,
        String,
        Name,
        Ref,
        Error,
        Op,
        LParen,
        RParen,
        Sep,
        Colon,
        SheetPrefix,
        Bad
    };
    struct Token {
        Tok kind = Tok::End;
        QString text;
        double number = 0;
    };

    void next();
    bool parseComparison();
    bool parseConcat();
    bool parseAdditive();
    bool parseMultiplicative();
    bool parsePower();
    bool parseUnary();
    bool parsePostfix();
    bool parsePrimary();
    bool parseReference(uint32_t sheetId, bool otherSheet);
    bool parseCall(const QString& name);
    bool fail(const QString& message);
    void pushInstr(const Instr& in) { m_code->code.push_back(in); }
    void emitOp(Op op, uint16_t argc = 0, uint32_t func = 0);

    const Workbook& m_book;
    const Sheet* m_host;
    int m_row;
    int m_col;
    QString m_text;
    qsizetype m_pos = 0;
    Token m_tok;
    int m_depth = 0;
    QString m_error;
    QString m_missingSheet;
    std::shared_ptr<FormulaCode> m_code;
};

// Formula text of compiled code seen from a host cell (without the leading "=").
QString printFormula(const FormulaCode& code, const Workbook& book, const Sheet* hostSheet,
                     int hostRow, int hostCol);
