#pragma once

#include <QList>
#include <QString>
#include <QStringList>

struct IdentContext;

// The title block of an instance sheet while the title is identified: its captions, the
// drop-down object "tip" choosing the title kind, and the change of the kind.
class TitleKindController {
public:
    explicit TitleKindController(IdentContext& ctx) : m_ctx(ctx) {}

    static QString objectName() { return QStringLiteral("tip"); }
    // "Показатель", "Признак", "Объект", "Разрез", "Период".
    static QStringList kinds();
    // The kind written in a title block, -1 when blank or unknown.
    static int kindIndex(const QString& text);
    // The title block rows that belong to a kind; the first one takes the cursor.
    static QList<int> kindRows(int kind);

    // Shows the title block of the sheet with its captions and the "tip" object.
    void prepareSheet(int sheet);
    // Deletes "tip" and hides the title block again.
    void unprepareSheet(int sheet);
    // The user chose item `index` (from 0) of "tip" on the active sheet.
    void kindChosen(int index);

private:
    bool clearForNewKind();
    void hideAboveTitle(int sheet, int from);
    void showKindRows(int sheet, int kind);

    IdentContext& m_ctx;
};
