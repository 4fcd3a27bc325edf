// The application's two association commands, reached through the main frame with no server
// window open.

#include <gtest/gtest.h>

#include <QDialog>

#include "config/assocset.h"
#include "resources/commandids.h"
#include "tests/config/regvalues.h"
#include "tests/views/viewcmds_fixture.h"

namespace tlv::test {
namespace {

TEST(AssociationCommands, BothRunWithoutAServerWindow) {
    AppFixture fixture;
    ASSERT_TRUE(fixture.IsReady());
    fixture.Seam().Clear();  // the start-up's notice of the missing installation root
    const CommandRouter& router = fixture.Frame().router();
    CreateKey(kProfileClassesKey);
    // No default editor stored: the command reports the table as unreadable and creates none.
    ASSERT_TRUE(router.execute(ID_PROFILE_CHANGEDEFAULT));
    EXPECT_EQ(fixture.Seam().MessageTexts(),
              std::vector<std::string>{
                  "Registry information could not be accessed. Ensure that the Kestrova Telvane "
                  "Server Software has been installed correctly on this machine and try again."});
    EXPECT_EQ(ValuesOf(kProfileClassesKey), std::vector<RegValue>{});

    fixture.Seam().Clear();
    SetString(kProfileClassesKey, "DefaultEditor", "/opt/editor");
    fixture.Seam().ExpectDialog([](QDialog& dialog) {
        EXPECT_EQ(dialog.windowTitle(), "Change Default Profile Editor");
        return IDCANCEL;
    });
    ASSERT_TRUE(router.execute(ID_PROFILE_CHANGEDEFAULT));

    fixture.Seam().ExpectDialog([](QDialog& dialog) {
        EXPECT_EQ(dialog.windowTitle(), "Associate");
        return IDCANCEL;
    });
    ASSERT_TRUE(router.execute(ID_PROFILE_ASSOCIATE));
    EXPECT_EQ(fixture.Seam().PendingDialogs(), 0u);
    EXPECT_EQ(fixture.Seam().MessageTexts(), std::vector<std::string>{});
}

}  // namespace
}  // namespace tlv::test
