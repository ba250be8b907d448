#include "AppContext.h"
#include "ScriptedLoginLauncher.h"
#include "ScriptedPrompter.h"
#include "TdmMSSQL.h"
#include "TestDatabases.h"
#include "TfmKisMain0.h"
#include "format/BookLocale.h"
#include "model/Workbook.h"

#include <QLocale>

#include <gtest/gtest.h>

// Tables show numbers as the user's locale writes them from the moment the main
// window exists.
TEST(CollectionsWindowLocale, TheUsersDecimalSeparatorIsTakenAtStart) {
    TestDatabases dbs;
    AppContext::setProgramFolder(dbs.folder());
    dbs.writeConfig();
    ScriptedPrompter prompter;
    TdmMSSQL dm(prompter);
    ScriptedLoginLauncher login;
    dm.setLoginLauncher(&login);
    dm.create();
    const QLocale before;
    QLocale::setDefault(QLocale(QLocale::Russian, QLocale::Russia));
    {
        TfmKisMain0 w(dm, prompter);
        Workbook b;
        b.setNumber(1, 1, 12.5);
        EXPECT_EQ(b.formattedText(1, 1), QStringLiteral("12,5"));
    }
    QLocale::setDefault(before);
    BookLocale::adopt(before);
    EXPECT_EQ(BookLocale::decimalSeparator(), before.decimalPoint().front());
}
