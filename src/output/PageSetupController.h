#pragma once

#include <QString>

#include <optional>

class IdentModel;
class Prompter;
class Workbook;

// What the page setup dialog shows and the user types: margins stay text until they
// are applied, so a text that is not a number is told, not converted.
struct PageFields {
    bool landscape = false;
    bool noColor = false;
    int scale = 100;
    QString leftMargin, rightMargin, topMargin, bottomMargin, headerMargin, footerMargin;
    QString header, footer;
    bool hCenter = false, vCenter = false;
    bool gridLines = false, colHeading = false, rowHeading = false;
    bool showText = false;        // "Показать сопроводительный текст"
    bool showTextEnabled = false; // only when the table has extra text lines
    bool applyAll = true;         // "Применить ко всем листам"
};

// Page setup and preview of a table workbook: the steps around the two windows that
// hide and show the title lines and the accompanying text, and the writing of the
// print settings. Margins are in inches, as the spreadsheet keeps them.
class PageSetupController {
public:
    PageSetupController(Workbook& book, IdentModel& model, Prompter& prompter);

    // imPageParam before the dialog: counts and, with the accompanying text shown,
    // hides the title lines; ticks the menu item.
    void openFromMenu(bool accompanyingTextShown);
    bool menuTicked() const { return m_menuTicked; }
    int visibleTitleCount() const { return m_titleCount; }

    // Dialog activation: the fields from the active sheet.
    PageFields activate();
    // ApplyPageSettings; false when a margin is not a number (told, nothing written).
    bool apply(const PageFields& fields);
    // The orientation radios act at once on the active sheet.
    void setLandscape(bool on);
    // "ОК": apply and FinishPageSetup; false keeps the dialog open.
    bool accept(const PageFields& fields);
    // "Отмена": the orientation at activation comes back, and after the menu the title
    // lines hidden on opening and the menu tick too.
    void cancel();

    // The scale as it is written: clamped to 10 … 400.
    static int clampScale(int value) { return value < 10 ? 10 : value > 400 ? 400 : value; }
    // A margin as the dialog shows it, and a margin text read back (nullopt: not a number).
    static QString marginText(double inches);
    static std::optional<double> parseMargin(const QString& text);
    // The up-down step of a margin field: ±0.01; nullopt (and told) when not a number.
    std::optional<QString> stepMargin(const QString& text, int direction, const QString& field);

    // PreparePreview: false and "Таблица пуста" when nothing lies right of the side column.
    bool preparePreview(bool accompanyingTextShown);
    // Closing the preview: the title lines and the accompanying text as they were.
    void closePreview(bool accompanyingTextShown);
    // "Ориентация" of the preview.
    void toggleOrientation(bool allSheets);
    // "Показать сопроводительный текст" clicked while the preview is open.
    void showTextInPreview(bool shown);

    // "Разметка страницы": the page breaks of rows 21 … LastRow and columns 2 … LastCol
    // put where the page layout cuts the pages, or removed.
    void markPageBreaks();
    void clearPageBreaks();

private:
    // The print area rule: rows 21 … LastRow by the side column … the last column holding
    // anything; 0 when nothing lies right of the side column (nothing is set then).
    int setPrintArea();
    int countAndHideTitles(bool hide);
    void restoreTitles();
    void setTextRows(int sheet, bool shown);
    int textLines() const;
    bool checkMargins(const PageFields& f, double* out);

    Workbook& m_book;
    IdentModel& m_model;
    Prompter& m_prompter;
    bool m_menuTicked = false;
    bool m_landscapeAtActivation = false;
    int m_titleCount = 0;
};
