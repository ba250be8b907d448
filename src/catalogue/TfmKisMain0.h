#pragma once

#include "CollectionsController.h"
#include "CopyPasteController.h"
#include "ElementOperations.h"
#include "ElementRowSet.h"
#include "MainWindowConnections.h"
#include "OutlineTreeController.h"

#include <QMainWindow>
#include <QPointer>

#include <memory>
#include <optional>

class QAction;
class QLabel;
class QLineEdit;
class QMenu;
class QToolBar;
class QToolButton;
class QWidget;
class TMyDBGrid;

// The collections window, the hub of the program: the tree of collections, the
// tables of the opened one, and the menu leading to everything else.
class TfmKisMain0 : public QMainWindow {
    Q_OBJECT
public:
    TfmKisMain0(TdmMSSQL& dm, Prompter& prompter, QWidget* parent = nullptr);
    ~TfmKisMain0() override;

    // The creation's connection steps: directory menu, settings and the tree.
    // False when the program must not go on.
    bool connectDatabases();

    static QString mainCaption() { return CollectionsController::mainCaption(); }
    CollectionsController& controller() { return *m_controller; }
    CopyPasteController& copyPaste() { return *m_copyPaste; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildWidgets();
    void buildMenu();
    QToolButton* toolButton(const QString& hint, QStyle::StandardPixmap pixmap);
    QAction* item(QMenu* menu, const QString& caption, const QKeySequence& key = {},
                  bool enabled = true);
    void buildDirectoryMenu();
    void afterTreeBuilt();
    void scaleToScreen();

    void enterTree();
    void openCollection();
    void openTable();
    void afterTablesChanged();
    // "Копировать" and "Вставить" by the mode, what is shown and what is held.
    void updateCopyPaste();
    void copyByMode();
    void pasteByMode();
    void showRights();
    void addByMode();
    void deleteByMode();
    void toggleKod(bool on);
    // edKod shows the selected collection's identifier, except while it is typed.
    void showIdentifier();
    void startIdentifier();
    void storeIdentifier();
    void showPeriods();
    // The composition of the aggregation directories, a directory's tree, the objects.
    void showComposition();
    void showObjects(const QString& caption);
    // "HTML": the index page of the selected collection.
    void writeHtmlIndex();
    void showAbout();
    void switchDatabase(int tag);
    void changeUser(int tag);
    void applyConnectionState();
    bool treeKey(QKeyEvent* key);
    bool gridKey(QKeyEvent* key);

    TdmMSSQL& m_dm;
    Prompter& m_prompter;
    MainWindowConnections m_connections;
    bool m_connected = false;

    OutlineTreeWidget* trvMaster = nullptr;
    TMyDBGrid* dgSlave = nullptr;
    QLabel* lbKod = nullptr;
    QLineEdit* edKod = nullptr;
    QToolBar* m_toolBar = nullptr;
    QWidget* m_toolPanel = nullptr;
    QWidget* paMedstat = nullptr;
    QToolButton* sbFileMZ = nullptr;
    QToolButton* sbViewMZ = nullptr;
    QToolButton* sbCtrlMZ = nullptr;
    QToolButton *sbAdd = nullptr, *sbDelete = nullptr, *sbUp = nullptr, *sbDown = nullptr,
                *sbLeft = nullptr, *sbRight = nullptr, *sbAdds = nullptr, *sbDeletes = nullptr;

    QMenu* m_directories = nullptr;
    // Kept between openings (with its filter) until the directories change.
    QPointer<class TfmKisElm0> m_objects;
    QAction *m_copy = nullptr, *m_paste = nullptr, *m_add = nullptr, *m_delete = nullptr;
    QAction *m_down = nullptr, *m_up = nullptr, *m_left = nullptr, *m_right = nullptr;
    QAction *m_kod = nullptr, *m_html = nullptr, *m_protectSbr = nullptr, *m_protectCat = nullptr;
    QAction *m_viewSbrPassword = nullptr, *m_viewCatPassword = nullptr, *m_rights = nullptr;
    QAction *m_userMain = nullptr, *m_userTab = nullptr;

    OutlineCommandSet m_treeCommands;
    ElementCommandSet m_elementCommands;
    OutlineState& m_state;
    std::unique_ptr<OutlineTreeController<int>> m_tree;
    ElementRowSet m_rows;
    ElementOperations m_elements;
    std::unique_ptr<CollectionsController> m_controller;
    std::unique_ptr<CopyPasteController> m_copyPaste;
    // While edKod has focus: the tree commands are held, and the key of the
    // collection the identifier is typed for (the tree may be rebuilt meanwhile).
    bool m_kodTyping = false;
    std::optional<int> m_kodKey;
};
