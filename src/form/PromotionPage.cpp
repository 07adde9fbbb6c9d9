// The promotion page ("Brisko v1.8"): the partner product's picture, texts and download link.
#include "form/PromotionPage.h"

#include "form/Links.h"
#include "form/TForm1.h"
#include "ports/Shell.h"

namespace lumora {

PromotionPage::PromotionPage(TForm1& form, TTabSheet& sheet) : FormPage(form, sheet)
{
    Image1.SetBounds({16, 24, 125, 125});
    Image1.resource = "PROMO";
    Image1.handCursor = true;
    Bind(Image1.OnClick, On(&PromotionPage::Image1Click));

    struct LabelRow {
        TLabel* label;
        Bounds bounds;
        const char* caption;
    };
    // Multi-line captions break at "\n"; the blurbs fit 217 pixels a line, the paragraph 365.
    const LabelRow labels[] = {
        {&Label50, {160, 24, 0, 0}, "Brisko v1.8 desktop organiser"},
        {&Label44, {160, 48, 217, 26}, "Sort - new files find their folders\nby type, date or name in a click."},
        {&Label45, {160, 80, 217, 26}, "Find - a quick search box shows\nany file as you type its name."},
        {&Label46, {160, 112, 217, 26}, "Tidy - empty folders and stale\ntemporary files are cleared away."},
        {&Label51, {16, 164, 0, 0}, "Brisko keeps a busy desktop tidy in seconds."},
        {&Label52,
         {16, 184, 365, 52},
         "Brisko is a small organiser for Windows 95, 98 and Me. It\n"
         "watches the folders you choose, files new downloads where\n"
         "they belong and keeps a list of recent work at hand. It\n"
         "needs little memory and works quietly in the background."},
        {&Label53, {208, 256, 0, 0}, "Download Brisko for free"},
    };
    for (const auto& row : labels) {
        row.label->SetBounds(row.bounds);
        row.label->SetCaption(row.caption);
    }
    Label50.font.bold = true;
    Label51.font.bold = true;

    Label53.font = FontSpec{"Verdana", -11, kColorNavy, false, true};
    Label53.handCursor = true;
    Bind(Label53.OnClick, On(&PromotionPage::Label53Click));
}

void PromotionPage::Image1Click()
{
    form_.ports.shell.open(kPartnerDownloadLink);
}
void PromotionPage::Label53Click()
{
    form_.ports.shell.open(kPartnerDownloadLink);
}

}  // namespace lumora
