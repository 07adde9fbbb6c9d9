// The main window: frame, start-up, Apply, Cancel and the page switch.
#include "app/TForm1.h"

#include "app/Exception.h"
#include "app/Text.h"
#include "monitor/SystemProbe.h"
#include "platform/Dialogs.h"
#include "platform/System.h"
#include "settings/Registry.h"
#include "tuning/XReboot.h"

namespace lumora {

namespace {
const char* const kAgentKey = "Software\\Lumora";
constexpr int kAboutPage = 6;
}  // namespace

TForm1::TForm1(Ports& p, CpuUsageMeter& meter)
    : TControl(ControlKind::Form, "Form1", nullptr),
      SystemProbe1(std::make_unique<TSystemProbe>(p, TSystemProbe::Stored{1000, false, -1, false})),
      XWinReboot1(std::make_unique<TXWinReboot>(p.power)),
      ports(p),
      cpuMeter(meter)
{
    BuildFrame();
    BuildRamPage();
    BuildOptionsPage();
    BuildDiskCachePage();
    BuildFileCachePage();
    BuildTweakPage();
    BuildPromotionPage();
    BuildAboutPage();
    BindDescriptions();
}

TForm1::~TForm1() = default;

void TForm1::BuildFrame()
{
    SetCaption("Lumora Manager");
    SetBounds({0, 0, 404, 412});
    PageControl1.SetBounds({0, 0, 404, 412});
    PageControl1.tabOrder = 0;
    struct PageRow {
        TTabSheet* page;
        const char* caption;
    };
    const PageRow pages[] = {{&TabSheet1, "Lumora"},     {&TabSheet2, "Options"}, {&TabSheet4, "Disk Cache"},
                             {&TabSheet7, "File Cache"}, {&TabSheet8, "Tweak"},   {&TabSheet5, "Brisko v1.8"},
                             {&TabSheet3, "About"}};
    for (const auto& row : pages) {
        row.page->SetCaption(row.caption);
        PageControl1.AddPage(row.page);
    }
    PageControl1.OnChange = [this] { PageControl1Change(); };

    Button2.SetCaption("Apply");
    Button2.SetBounds({232, 368, 75, 25});
    Button2.tabOrder = 1;
    Button2.OnClick = [this] { Button2Click(); };
    Button3.SetCaption("Cancel");
    Button3.SetBounds({312, 368, 75, 25});
    Button3.tabOrder = 2;
    Button3.OnClick = [this] { Button3Click(); };
    GroupBox5.SetCaption("Description");
    GroupBox5.SetBounds({20, 296, 365, 65});
    GroupBox5.tabOrder = 3;
    Label8.SetBounds({16, 24, 0, 0});
    Label8.SetCaption("Label8");
    Label9.SetBounds({16, 40, 0, 0});
    Label9.SetCaption("Label9");

    Timer1.SetInterval(800);
    Timer1.SetEnabled(false);
    Timer1.OnTimer = [this] { Dispatch([this] { Timer1Timer(); }); };
}

void TForm1::Dispatch(const std::function<void()>& handler)
{
    try {
        handler();
    } catch (const std::exception& error) {
        ports.dialogs.showError(error.what());
    }
}

void TForm1::SetStayOnTop(bool onTop)
{
    if (onTop == stayOnTop_) return;
    stayOnTop_ = onTop;
    Notify(Property::Style);
}

void TForm1::TakeMemoryFigures()
{
    const MemoryStatus status = ports.system.memoryStatus();
    std::uint32_t total = static_cast<std::uint32_t>(status.totalPhys >> 20);
    if ((status.totalPhys & 0xFFFFF) > 5) ++total;
    TotalPhysMB = static_cast<std::uint16_t>(total);
    TotalSwapMB = static_cast<std::uint16_t>(status.totalPageFile >> 20);
    TakeFreeFigures(status);
}

namespace {
std::uint16_t FreePercent(std::uint16_t freeMB, std::uint16_t totalMB)
{
    // A zero total (no page file) gives 0 rather than a division by zero.
    if (totalMB == 0) return 0;
    return static_cast<std::uint16_t>(std::uint32_t{freeMB} * 100u / totalMB);
}
}  // namespace

void TForm1::TakeFreeFigures(const MemoryStatus& status)
{
    FreePhysMB = static_cast<std::uint16_t>(status.availPhys >> 20);
    FreePhysPercent = FreePercent(FreePhysMB, TotalPhysMB);
    FreeSwapMB = static_cast<std::uint16_t>(status.availPageFile >> 20);
    FreeSwapPercent = FreePercent(FreeSwapMB, TotalSwapMB);
}

void TForm1::FormCreate()
{
    {
        TRegistry reg(ports.registry);
        reg.SetRootKey(RegRoot::CurrentUser);
        reg.OpenKey(kAgentKey, true);
        // A CurrentDir of another type than text counts as missing and is replaced.
        bool stored = false;
        if (reg.ValueExists("CurrentDir")) {
            try {
                CurrentDir = reg.ReadString("CurrentDir");
                stored = true;
            } catch (const Exception&) {
            }
        }
        if (!stored) {
            CurrentDir = ports.system.currentDirectory();
            reg.WriteString("CurrentDir", CurrentDir);
        }
    }

    TakeMemoryFigures();

    PageControl1.SetActivePageIndex(0);

    RxSlider1.SetMaxValue(TotalPhysMB);
    RxSlider2.SetMaxValue(TotalPhysMB);
    RxSlider3.SetMaxValue(TotalPhysMB);
    RxSlider4.SetMaxValue(TotalPhysMB);
    RxSlider5.SetMaxValue(128);

    RxSpinEdit1.SetMaxValue(TotalPhysMB / 2);
    RxSpinEdit3.SetMaxValue(TotalPhysMB);
    RxSpinEdit4.SetMaxValue(TotalPhysMB);
    RxSpinEdit5.SetMaxValue(TotalPhysMB);

    Label24.SetCaption(ToDecimal(TotalPhysMB) + " MB");
    Label25.SetCaption(ToDecimal(FreePhysMB) + " MB");
    Label27.SetCaption(ToDecimal(TotalSwapMB) + " MB");
    Label28.SetCaption(ToDecimal(FreeSwapMB) + " MB");
    ProgressBar1.SetPosition(FreePhysPercent);
    ProgressBar2.SetPosition(FreeSwapPercent);

    Label8.SetCaption("");
    Label9.SetCaption("");

    ReadData();

    Button2.SetEnabled(false);
    RestartPending = false;
    Timer1.SetEnabled(true);
}

void TForm1::ReadData()
{
    LoadTuningValues();
    ReadAgentValues();
    LoadDiskCacheControls();
    FillRamAndOptions();
}

void TForm1::SaveData()
{
    SaveTuningValues();
    SaveAgentValues();
}

void TForm1::Button2Click()
{
    SaveData();
    ReadData();
    {
        TRegistry reg(ports.registry);
        reg.SetRootKey(RegRoot::CurrentUser);
        reg.OpenKey(kAgentKey, true);
        reg.WriteInteger("Update", 1);
    }
    Button2.SetEnabled(false);
    if (RestartPending) {
        if (ports.dialogs.confirm("Do you want to restart your computer now?", "Confirm")) {
            XWinReboot1->Operation = roReboot;
            XWinReboot1->Execute();
        }
    }
    RestartPending = false;
}

void TForm1::Button3Click()
{
    if (onClose) onClose();
}

void TForm1::PageControl1Change()
{
    Label8.SetCaption("");
    Label9.SetCaption("");
    GroupBox5.SetVisible(PageControl1.ActivePageIndex() != kAboutPage);
}

}  // namespace lumora
