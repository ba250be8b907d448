#include "ServerErrors.h"

#include <gtest/gtest.h>

TEST(ServerErrors, RightsErrorsInEveryServerWording) {
    EXPECT_TRUE(IsRightsError("EXECUTE permission denied for INSERT_SBR"));
    EXPECT_FALSE(IsRightsError("execute PERMISSION denied"));
    EXPECT_TRUE(IsRightsError("Insufficient SQL rights for operation"));
    EXPECT_TRUE(IsRightsError("iNsUfFiCiEnT sql RIGHTS"));
    // Firebird: the text Qt passes on for a refused procedure or table.
    EXPECT_TRUE(IsRightsError("Unable to execute query\nno permission for EXECUTE access to "
                              "PROCEDURE INSERT_SBR\nEffective user is ANALYST"));
    EXPECT_TRUE(IsRightsError("no permission for SELECT access to TABLE FD_OPERELM"));
    EXPECT_TRUE(IsRightsError("some text", -551));
    EXPECT_TRUE(IsRightsError("Dynamic SQL Error\nSQL error code = -551\n..."));
    EXPECT_FALSE(IsRightsError("Dynamic SQL Error\nSQL error code = -5510"));
    EXPECT_FALSE(IsRightsError("violation of PRIMARY or UNIQUE KEY constraint \"PK_POK\""));
    EXPECT_FALSE(IsRightsError("Table unknown FD_X", -204));
}

TEST(ServerErrors, FurtherKindsOfServerErrors) {
    EXPECT_TRUE(IsSelectDenied("SELECT permission denied"));
    EXPECT_TRUE(IsSelectDenied("no permission for SELECT access to TABLE FD_DOLGAGR"));
    EXPECT_FALSE(IsSelectDenied("no permission for INSERT access to TABLE FD_DOLGAGR"));

    EXPECT_TRUE(IsTableUnknown("Dynamic SQL Error\n-SQL error code = -204\n-Table unknown\n"));
    EXPECT_FALSE(IsTableUnknown("Column unknown"));

    EXPECT_TRUE(IsPrimaryKeyViolation("violation of PRIMARY or UNIQUE KEY constraint"));
    EXPECT_TRUE(IsPrimaryKeyViolation("VIOLATION OF PRIMARY KEY"));

    EXPECT_TRUE(IsOwnerOnlyError("only the OWNER of a table may alter it"));
    EXPECT_TRUE(IsOwnerOnlyError("no permission for control access to table FD_DOLGELM"));
    EXPECT_TRUE(IsOwnerOnlyError("unsuccessful metadata update\n-ALTER TABLE FD_DOLGAGR failed\n"
                                 "-no permission for ALTER access to TABLE FD_DOLGAGR"));
    // As the embedded Firebird 3 engine words a column added by a user who owns nothing.
    EXPECT_TRUE(IsOwnerOnlyError("unsuccessful metadata update - ALTER TABLE FD_DOLGAGR failed - "
                                 "no permission for ALTER access to TABLE FD_DOLGAGR"));
    EXPECT_FALSE(IsOwnerOnlyError("unsuccessful metadata update - ALTER TABLE FD_DOLGELM failed - "
                                  "Column D2 already exists in table FD_DOLGELM"));
    EXPECT_FALSE(IsOwnerOnlyError("lock conflict on no wait transaction"));
}
