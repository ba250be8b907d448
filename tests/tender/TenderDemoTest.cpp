#include "DbTestHelpers.h"
#include "DemoTables.h"
#include "ExchangeView.h"
#include "FillController.h"
#include "InstanceSheets.h"
#include "ScriptedPrompter.h"
#include "TableDocument.h"
#include "TableRef.h"
#include "TdmMSSQL.h"
#include "TenderController.h"
#include "TestDatabases.h"
#include "format/BookLocale.h"
#include "model/Workbook.h"

#include <gtest/gtest.h>

using namespace TableLayout;

// The demo's tender, as a user tries it after the first start: the consolidated order
// of the suppliers' offers, an order table per chosen supplier, and the allocation of an
// order table over the institutions that ordered.
TEST(TenderDemo, FromOffersToAllocation) {
    BookLocale::setDecimalSeparator(QLatin1Char('.'));
    TestDatabases dbs(true);
    ScriptedPrompter prompter;
    TdmMSSQL dm(prompter);
    dm.SetConnectionParams(dm.dbMain, dbs.factPath(), TestDatabases::password(),
                           TestDatabases::user());
    dm.SetConnectionParams(dm.dbTab, dbs.tabPath(), TestDatabases::password(),
                           TestDatabases::user());
    dm.dbMain.open();
    dm.dbTab.open();
    ASSERT_EQ(DemoTables::write(dm), 4);

    struct Open {
        Workbook book;
        TableRef table;
        std::unique_ptr<TableDocument> doc;
        std::unique_ptr<InstanceSheets> sheets;
        ExchangeView view;
        StoragePeriods lists;
    };
    auto open = [&](Open& o, int kod) {
        o.doc = std::make_unique<TableDocument>(dm, o.book, prompter);
        o.doc->open(*TableRef::read(dm, kod));
        o.sheets = std::make_unique<InstanceSheets>(dm, o.doc->model(), prompter, o.doc->table());
        LoadStoragePeriods(dm, o.lists);
        return TenderController(dm, o.doc->model(), *o.sheets, prompter, o.doc->table(), [&] {
            ExchangeContext ctx{o.doc->model(),          dm, prompter, o.view, o.lists, 2,
                                QStringLiteral("SYSDBA")};
            FillController fill(ctx);
            fill.setTenderMode(true);
            return fill.SBunloadClick();
        });
    };

    Open offers;
    TenderController t = open(offers, 7);
    ASSERT_TRUE(t.mPredlClick());
    ASSERT_TRUE(t.mSpecClick()) << prompter.texts().join(u'|').toStdString();
    const Sheet& svod = offers.book.sheet(1);
    // Equal prices of 52.30: the smaller offer comes first.
    EXPECT_EQ(svod.text(104, 8), QStringLiteral("АО \"Медснаб\""));
    EXPECT_DOUBLE_EQ(svod.number(102, 5), 150) << "the cheapest offers less than asked";
    const QVariantList made = dbtest::column(
        dm.dbTab, QStringLiteral("SELECT KODELMT FROM CAT WHERE KODALT = 'Спец.' AND "
                                 "NAMEFOLDER = 'Спецификация - ООО \"Здоровье\"'"));
    ASSERT_EQ(made.size(), 1);

    Open supplierOrder;
    TenderController s = open(supplierOrder, made[0].toInt());
    prompter.choice(1); // "ЛПУ тендера"
    ASSERT_TRUE(s.mRaznClick()) << prompter.texts().join(u'|').toStdString();
    ASSERT_EQ(supplierOrder.book.sheetCount(), 3 + 3);
    // The last institution of the list stands first; items: 24, 26, 27.
    const Sheet& south = supplierOrder.book.sheet(1);
    EXPECT_TRUE(south.text(99, 3).endsWith(QStringLiteral("Южная центральная районная больница")));
    EXPECT_DOUBLE_EQ(south.number(102, 5), 100);
    EXPECT_DOUBLE_EQ(south.number(102, 7), 100 * 115.75);
    const Sheet& north = supplierOrder.book.sheet(2);
    EXPECT_TRUE(north.rowHidden(102)) << "the northern hospital ordered no ceftriaxone";
    EXPECT_DOUBLE_EQ(north.number(103, 7), 90 * 19.8);
}
