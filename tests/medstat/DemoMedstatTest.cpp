#include "DbfTable.h"
#include "DemoTables.h"
#include "MedstatControl.h"
#include "MedstatGenerator.h"
#include "MedstatTemplates.h"
#include "ObjectResolver.h"
#include "ScriptedPrompter.h"
#include "TdmMSSQL.h"
#include "TestDatabases.h"

#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

// The demo: its collection "Кадры и посещения" carries form and table codes, the first
// start makes the MEDCTAT files, and generation and control run on them.
TEST(DemoMedstat, TheDemoCollectionGeneratesAndPassesItsControl) {
    TestDatabases dbs(true);
    ScriptedPrompter prompter;
    TdmMSSQL dm(prompter);
    dm.SetConnectionParams(dm.dbMain, dbs.factPath(), TestDatabases::password(),
                           TestDatabases::user());
    dm.SetConnectionParams(dm.dbTab, dbs.tabPath(), TestDatabases::password(),
                           TestDatabases::user());
    dm.dbMain.open();
    dm.dbTab.open();
    DemoTables::write(dm);
    QTemporaryDir dir;
    const QString folder = QDir(dir.path()).filePath(QStringLiteral("MEDCTAT"));
    QDir().mkpath(folder);
    MedstatTemplates::createOnFirstStart(folder);
    for (const char* name : {"MEDCTAT.DBF", "POKAZ.DBF", "USLOV.DBF"})
        EXPECT_TRUE(QFile::exists(QDir(folder).filePath(QString::fromLatin1(name))));

    ObjectResolver resolver(dm, prompter);
    MedstatParams params;
    prompter.answer(Answer::Yes).choice(2); // code 2 is also in both aggregation directories
    MedstatGenerator gen(dm, prompter, folder);
    ASSERT_EQ(CollectionIdentifier(dm, 3), QStringLiteral("030"));
    ASSERT_TRUE(gen.run(3, CollectionIdentifier(dm, 3), params, [&](MedstatParams& p) {
        return AcceptMedstatDialog({p.form, {}, QStringLiteral("2"), QStringLiteral("25"), {}}, p,
                                   resolver, prompter) == MedstatFocus::None;
    }));
    EXPECT_EQ(params.objectType, 99);
    EXPECT_EQ(gen.records(), 1);
    // "Медицинские кадры" has no workbook yet.
    EXPECT_TRUE(prompter.texts().contains(QStringLiteral(
        "Таблица \"Медицинские кадры\" не записана в файл: книга таблицы не сохранена")));
    DbfTable file = DbfTable::open(QDir(folder).filePath(QStringLiteral("MEDCTAT.DBF")));
    ASSERT_TRUE(file.first());
    EXPECT_EQ(file.text(2), QStringLiteral("0300000"));
    EXPECT_EQ(file.text(3), QStringLiteral("001002"));

    prompter.clear();
    MedstatControl control(folder, prompter);
    ASSERT_TRUE(control.open());
    ASSERT_EQ(control.conditions().size(), 3u);
    EXPECT_EQ(control.run(QStringLiteral("2"), QStringLiteral("25"), params.objectName, {0, 1}),
              MedstatControl::Outcome::NoErrors);
}
