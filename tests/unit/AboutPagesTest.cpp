// The About and promotion pages: their four links, their layout and looks, the partner texts.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <functional>
#include <set>
#include <string>
#include <vector>

#include "unit/FormHarness.h"

namespace lumora {
namespace {

const char* const kAffiliateLink = "http://download.brisko.example/get?affiliate=lumora&campaign=manager";

using testing::ForEachControl;

int LineCount(const std::string& text)
{
    return 1 + static_cast<int>(std::count(text.begin(), text.end(), '\n'));
}

class AboutPages : public ::testing::Test, protected testing::DesignedForm {};

TEST_F(AboutPages, EachLinkOpensItsOwnAddressExactlyOnce)
{
    const struct {
        const char* control;
        const char* link;
    } links[] = {
        {"Label2", "mailto:author@lumora.example"},
        {"Label13", "http://www.lumora.example/"},
        {"Image1", kAffiliateLink},
        {"Label53", kAffiliateLink},
    };
    for (const auto& row : links) {
        machine.shell.opened.clear();
        Control(row.control).Click();
        EXPECT_EQ(machine.shell.opened, std::vector<std::string>{row.link}) << "click on " << row.control;
    }
}

TEST_F(AboutPages, LinkLinesShowTheAddressesTheyOpen)
{
    form.About.Label2.Click();
    form.About.Label13.Click();
    ASSERT_EQ(machine.shell.opened.size(), 2u);
    EXPECT_EQ(machine.shell.opened[0], "mailto:" + form.About.Label2.Caption());
    EXPECT_EQ(machine.shell.opened[1], form.About.Label13.Caption());
}

TEST_F(AboutPages, ClicksOnAnythingElseOfBothPagesOpenNothing)
{
    const std::set<std::string> links{"Label2", "Label13", "Image1", "Label53"};
    for (TControl* page : {static_cast<TControl*>(&form.TabSheet3), static_cast<TControl*>(&form.TabSheet5)}) {
        ForEachControl(*page, [&](TControl& control) {
            if (links.count(control.Name())) return;
            control.Click();
            EXPECT_FALSE(control.OnClick) << control.Name() << " has a click handler";
        });
    }
    EXPECT_TRUE(machine.shell.opened.empty());
}

TEST_F(AboutPages, OnlyTheFourLinksShowTheHandPointer)
{
    std::set<std::string> hands;
    ForEachControl(form, [&](TControl& control) {
        if (control.handCursor) hands.insert(control.Name());
    });
    EXPECT_EQ(hands, (std::set<std::string>{"Image1", "Label13", "Label2", "Label53"}));
}

struct Place {
    const char* control;
    Bounds bounds;
    const char* caption;  // nullptr: the page's own text, checked elsewhere
};

TEST_F(AboutPages, ControlsStandAtTheirPlacesWithTheirFixedCaptions)
{
    const Place places[] = {
        {"RxLabel1", {16, 24, 169, 33}, "Lumora SE"},
        {"Image2", {344, 16, 32, 32}, ""},
        {"RxLabel2", {16, 56, 0, 0}, "for Windows 9x/Me"},
        {"Label1", {314, 64, 0, 0}, "Version 3.1"},
        {"GroupBox4", {16, 84, 364, 7}, ""},
        {"Label57", {16, 100, 0, 0}, "GDI :"},
        {"Label60", {46, 100, 0, 0}, "100 %"},
        {"Label58", {104, 100, 0, 0}, "System :"},
        {"Label61", {150, 100, 0, 0}, "100 %"},
        {"Label59", {204, 100, 0, 0}, "User :"},
        {"Label62", {234, 100, 0, 0}, "100 %"},
        {"Label47", {288, 100, 0, 0}, "CPU Usage :"},
        {"Label48", {352, 100, 0, 0}, "100%"},
        {"GroupBox1", {16, 116, 364, 7}, ""},
        {"Label32", {16, 136, 0, 0}, "Total Physical Memory :"},
        {"Label24", {136, 136, 0, 0}, "Label24"},
        {"Label33", {16, 152, 0, 0}, "Free Physical Memory :"},
        {"Label25", {136, 152, 0, 0}, "Label25"},
        {"ProgressBar1", {16, 176, 369, 16}, ""},
        {"Label35", {16, 208, 0, 0}, "Total Swap File :"},
        {"Label27", {112, 208, 0, 0}, "Label27"},
        {"Label36", {16, 224, 0, 0}, "Free Swap File :"},
        {"Label28", {112, 224, 0, 0}, "Label28"},
        {"ProgressBar2", {16, 248, 364, 16}, ""},
        {"Label6", {16, 280, 0, 0}, "Email :"},
        {"Label2", {56, 280, 0, 0}, "author@lumora.example"},
        {"Label7", {16, 296, 0, 0}, "Homepage : "},
        {"Label13", {80, 296, 0, 0}, nullptr},
        {"Label12", {16, 312, 0, 0}, nullptr},
        {"Image1", {16, 24, 125, 125}, ""},
        {"Label50", {160, 24, 0, 0}, nullptr},
        {"Label44", {160, 48, 217, 26}, nullptr},
        {"Label45", {160, 80, 217, 26}, nullptr},
        {"Label46", {160, 112, 217, 26}, nullptr},
        {"Label51", {16, 164, 0, 0}, nullptr},
        {"Label52", {16, 184, 365, 52}, nullptr},
        {"Label53", {208, 256, 0, 0}, nullptr},
    };
    for (const auto& place : places) {
        const TControl& control = Control(place.control);
        const Bounds& b = control.GetBounds();
        EXPECT_EQ(b.left, place.bounds.left) << place.control;
        EXPECT_EQ(b.top, place.bounds.top) << place.control;
        EXPECT_EQ(b.width, place.bounds.width) << place.control;
        EXPECT_EQ(b.height, place.bounds.height) << place.control;
        if (place.caption) {
            EXPECT_EQ(control.Caption(), place.caption) << place.control;
        }
    }
    EXPECT_EQ(form.About.Image2.resource, "LUMORA_ICON");
    EXPECT_EQ(form.Promotion.Image1.resource, "PROMO");
    EXPECT_NE(form.About.Label12.Caption().find("Copyright"), std::string::npos);
}

TEST_F(AboutPages, TitlesAndLinksCarryTheirOwnLooks)
{
    const struct {
        const char* control;
        const char* fontName;
        int height;
        std::uint32_t color;
        bool bold, underline;
        std::uint32_t shadow;
    } looks[] = {
        {"RxLabel1", "Verdana", -27, kColorNavy, false, false, kColorWhite},
        {"RxLabel2", "Verdana", -19, kColorNavy, false, false, kColorButtonHighlight},
        {"Label1", "Verdana", -11, kColorBlack, false, false, kColorDefault},
        {"Label2", "MS Sans Serif", -11, kColorNavy, false, true, kColorDefault},
        {"Label13", "MS Sans Serif", -11, kColorNavy, false, true, kColorDefault},
        {"Label53", "Verdana", -11, kColorNavy, false, true, kColorDefault},
        {"Label50", "", -11, kColorDefault, true, false, kColorDefault},
        {"Label51", "", -11, kColorDefault, true, false, kColorDefault},
        {"Label52", "", -11, kColorDefault, false, false, kColorDefault},
        {"Label32", "", -11, kColorDefault, false, false, kColorDefault},
    };
    for (const auto& look : looks) {
        const TControl& control = Control(look.control);
        EXPECT_EQ(control.font.name, look.fontName) << look.control;
        EXPECT_EQ(control.font.height, look.height) << look.control;
        EXPECT_EQ(control.font.color, look.color) << look.control;
        EXPECT_EQ(control.font.bold, look.bold) << look.control;
        EXPECT_EQ(control.font.underline, look.underline) << look.control;
        EXPECT_EQ(control.shadowColor, look.shadow) << look.control;
    }
}

TEST_F(AboutPages, PromotionTextsKeepTheirShapes)
{
    for (TLabel* blurb : {&form.Promotion.Label44, &form.Promotion.Label45, &form.Promotion.Label46}) {
        const std::string& text = blurb->Caption();
        EXPECT_EQ(LineCount(text), 2) << blurb->Name() << ": " << text;
        const auto dash = text.find(" - ");
        ASSERT_NE(dash, std::string::npos) << blurb->Name() << " opens with no keyword and dash";
        EXPECT_TRUE(std::isupper(static_cast<unsigned char>(text[0]))) << blurb->Name();
        for (std::size_t i = 0; i < dash; ++i) {
            EXPECT_TRUE(std::isalpha(static_cast<unsigned char>(text[i])))
                << blurb->Name() << ": one word before the dash";
        }
    }
    EXPECT_EQ(LineCount(form.Promotion.Label52.Caption()), 4);
    for (TLabel* line : {&form.Promotion.Label50, &form.Promotion.Label51, &form.Promotion.Label53}) {
        EXPECT_EQ(LineCount(line->Caption()), 1) << line->Name();
        EXPECT_FALSE(line->Caption().empty()) << line->Name();
    }
    EXPECT_NE(form.Promotion.Label50.Caption().find("Brisko"), std::string::npos) << "the heading names the product";
}

}  // namespace
}  // namespace lumora
