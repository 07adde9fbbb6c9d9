// The controls' child-window IDs: the table the program and the drivers share, held against the
// window's models.
#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>

#include "form/ControlIds.h"
#include "unit/FormHarness.h"

namespace lumora {
namespace {

TEST(ControlIds, EveryControlCarriesTheIdOfItsNameAndNoOtherControlHasIt)
{
    testing::DesignedForm designed;
    std::map<int, std::string> byId;
    std::set<std::string> names;
    testing::ForEachControl(designed.form, [&](TControl& control) {
        if (&control == &designed.form) {
            EXPECT_EQ(control.id, 0) << "the main window is top-level: no ID";
            return;
        }
        EXPECT_NE(control.id, 0) << control.Name() << " is missing from the table: no driver finds it";
        EXPECT_EQ(ControlNameOf(control.id), control.Name());
        const auto [at, fresh] = byId.emplace(control.id, control.Name());
        EXPECT_TRUE(fresh) << control.Name() << " shares ID " << control.id << " with " << at->second;
        names.insert(control.Name());
    });
    for (int i = 0; i < kControlCount; ++i) {
        const std::string name(kControlNames[i]);
        EXPECT_EQ(names.count(name), 1u) << name << " names no control of the window";
        EXPECT_EQ(ControlIdOf(name), kFirstControlId + i) << name << " is in the table twice";
    }
    EXPECT_EQ(ControlIdOf("Form1"), 0);
}

TEST(ControlIds, PartIdsClashWithNoControlNorWithThePlatformsOwnParts)
{
    // Inside a combo box the platform numbers its list 1000 and its edit part 1001; drivers look
    // through every descendant of the window, those parts included.
    const int platformParts[] = {1000, 1001};
    for (int id = kFirstControlId; id < kFirstControlId + kControlCount; ++id) {
        EXPECT_TRUE(ControlNameOf(PartId(id)).empty()) << id;
        for (const int taken : platformParts) {
            EXPECT_NE(id, taken);
            EXPECT_NE(PartId(id), taken) << id;
        }
    }
}

}  // namespace
}  // namespace lumora
