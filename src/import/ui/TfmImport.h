#pragma once

#include "ImportSession.h"

#include <QDialog>

#include <functional>

class IdentModel;
class Prompter;
class QCheckBox;
class QComboBox;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QStackedWidget;
class TBook;
class TdmMSSQL;

// "Импорт данных": a text or dBase file previewed in `BookR`, split by the wizard
// (delimited or fixed width by character positions), its columns marked with the
// identification they carry; "Готово" brings the rows into the open table.
class TfmImport : public QDialog {
    Q_OBJECT
public:
    TfmImport(TdmMSSQL& dm, IdentModel& table, Prompter& prompter, ImportSession& session,
              bool objectsEnabled, QWidget* parent = nullptr);

    // Shows the protocol of a failed check (the editor's protocol window).
    std::function<void(const QStringList&)> showProtocol;

    TBook* BookR = nullptr;
    QRadioButton* rgDelimited = nullptr;
    QRadioButton* rgFixed = nullptr;
    QCheckBox* cBox[5] = {};
    QLineEdit* edOther = nullptr;
    QComboBox* cbOgr = nullptr;
    QLineEdit* edNStr = nullptr;
    QComboBox* cbFormat = nullptr;
    QComboBox* cbDann = nullptr;
    QPushButton* bDelCol = nullptr;
    QPushButton* bDelRow = nullptr;
    QPushButton* bBack = nullptr;
    QPushButton* bMore = nullptr;
    QPushButton* bReady = nullptr;

    int page() const;
    // The commands, as the buttons and pop-ups run them.
    void bMoreClick();
    void bBackClick();
    void separatorChosen(int index);
    void bDelColClick();
    void bDelRowClick();
    void bReadyClick();
    // Right click on a column heading: the identification of that column.
    void identifyColumn(int col);
    // Right click on a cell: "Финуправление" and the clipboard.
    void cellMenu(int row, int col);

private:
    void reread();
    void showPage(int page);
    void encodingChosen(int index);

    TdmMSSQL& m_dm;
    IdentModel& m_table;
    Prompter& m_prompter;
    ImportSession& m_session;
    bool m_objectsEnabled;
    QStackedWidget* m_pages = nullptr;
};
