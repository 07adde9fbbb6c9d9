// The main window: frame, start-up, Apply, Cancel, the page switch and the status timer.
#include "form/TForm1.h"

#include <algorithm>
#include <exception>

#include "core/Numbers.h"
#include "form/ControlIds.h"
#include "monitor/CpuUsage.h"
#include "monitor/SystemProbe.h"
#include "ports/Dialogs.h"
#include "ports/System.h"
#include "tuning/XReboot.h"

namespace lumora {

TForm1::TForm1(Ports& p, CpuUsageMeter& meter)
    : TControl(ControlKind::Form, "Form1", nullptr),
      SystemProbe1(std::make_unique<TSystemProbe>(p, TSystemProbe::Stored{1000, false, -1, false})),
      XWinReboot1(std::make_unique<TXWinReboot>(p.power)),
      ports(p),
      cpuMeter(meter)
{
    BuildFrame();
    AssignControlIds(*this);
}

TForm1::~TForm1() = default;

void TForm1::BuildFrame()
{
    SetCaption(kMainCaption);
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
    // The toolkit runs the tick, like every native event, through Dispatch.
    Timer1.OnTimer = [this] { Timer1Timer(); };
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

namespace {

// The 16-bit figures stop at their largest value instead of wrapping on bigger machines (or,
// for a share, beside a page file that grew far beyond its start-up size).
std::uint16_t Saturated16(std::uint64_t megabytes)
{
    return static_cast<std::uint16_t>(std::min<std::uint64_t>(megabytes, 0xFFFFu));
}

std::uint16_t FreePercent(std::uint16_t freeMB, std::uint16_t totalMB)
{
    // A zero total (no page file) gives 0 rather than a division by zero.
    if (totalMB == 0) return 0;
    return Saturated16(std::uint64_t{freeMB} * 100u / totalMB);
}

}  // namespace

void TForm1::TakeMemoryFigures()
{
    const MemoryStatus status = ports.system.memoryStatus();
    std::uint64_t total = status.totalPhys >> 20;
    if ((status.totalPhys & 0xFFFFF) > 5) ++total;
    TotalPhysMB = Saturated16(total);
    TotalSwapMB = Saturated16(status.totalPageFile >> 20);
    TakeFreeFigures(status);
}

void TForm1::TakeFreeFigures(const MemoryStatus& status)
{
    FreePhysMB = Saturated16(status.availPhys >> 20);
    FreePhysPercent = FreePercent(FreePhysMB, TotalPhysMB);
    FreeSwapMB = Saturated16(status.availPageFile >> 20);
    FreeSwapPercent = FreePercent(FreeSwapMB, TotalSwapMB);
}

void TForm1::SettleCurrentDir()
{
    AgentStore::SettleCurrentDir(ports.registry, ports.system, CurrentDir);
}

void TForm1::FormCreate()
{
    // A step that fails is reported and costs only what it could not do: the steps after it
    // still run, so the window never opens half loaded with an Apply that would write the
    // unloaded controls over the stored settings.
    Dispatch([this] { SettleCurrentDir(); });

    TakeMemoryFigures();

    PageControl1.SetActivePageIndex(0);

    Ram.RxSlider1.SetMaxValue(TotalPhysMB);
    Ram.RxSlider2.SetMaxValue(TotalPhysMB);
    DiskCache.RxSlider3.SetMaxValue(TotalPhysMB);
    DiskCache.RxSlider4.SetMaxValue(TotalPhysMB);
    DiskCache.RxSlider5.SetMaxValue(128);

    Ram.RxSpinEdit1.SetMaxValue(TotalPhysMB / 2);
    Ram.RxSpinEdit3.SetMaxValue(TotalPhysMB);
    Ram.RxSpinEdit4.SetMaxValue(TotalPhysMB);
    Ram.RxSpinEdit5.SetMaxValue(TotalPhysMB);

    About.ShowStartFigures();

    Label8.SetCaption("");
    Label9.SetCaption("");

    Dispatch([this] { ReadData(); });

    Button2.SetEnabled(false);
    RestartPending = false;
    Timer1.SetEnabled(true);
}

void TForm1::ReadData()
{
    // Loads never fail; the pages then show what was read. The tuning pages' handlers that
    // run while they show it touch no storage.
    Tuning.Load(ports.registry, ports.profile);
    Tweak.ShowLoaded(Tuning);
    FileCache.ShowLoaded(Tuning);
    Agent.Load(ports.registry, TotalPhysMB, CurrentDir);
    // The autostart entry is the one write of a load. Its refusal is raised once the rest of
    // the load has run, so that every page shows what was read.
    std::exception_ptr refused;
    try {
        Agent.RegisterAutoStart(ports.registry, CurrentDir);
    } catch (const std::exception&) {
        refused = std::current_exception();
    }
    Ram.ShowCpuDetection(Agent);
    Options.ShowStartFlags(Agent);
    DiskCache.ShowLoaded(Tuning);
    Ram.ShowAmounts(Agent);
    Options.ShowOptions(Agent);
    if (refused) std::rethrow_exception(refused);
}

void TForm1::SaveData()
{
    TuningChoices tuning;
    Tweak.Collect(tuning);
    FileCache.Collect(tuning);
    Tuning.Save(ports.registry, ports.profile, ports.system, tuning);

    AgentChoices agent;
    Ram.Collect(agent);
    Options.Collect(agent);
    AgentStore::Save(ports.registry, agent, CurrentDir);
}

void TForm1::Button2Click()
{
    SaveData();
    ReadData();
    AgentStore::SignalUpdate(ports.registry);
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

void TForm1::Timer1Timer()
{
    if (Agent.CpuDetectDisabled == 0) {
        try {
            cpuMeter.SampleCpuUsage();
            // In double the product of a fraction just off a half can land on the half itself.
            CpuUsagePercent = RoundHalfEven(static_cast<long double>(cpuMeter.CpuUsageFraction(0)) * 100);
        } catch (const std::exception&) {
            // The next tick tries again; on Windows 9x a failed start starts over.
            CpuUsagePercent = 0;
        }
    }

    // The totals stay those of start-up: a page file that grew can show more than 100 % free.
    TakeFreeFigures(ports.system.memoryStatus());
    About.ShowLiveFigures();
}

// Both lines are set on every move, also when they already show the entry.
void TForm1::ShowDescription(const std::string& line1, const std::string& line2)
{
    Label8.SetCaption(line1);
    Label9.SetCaption(line2);
}

void TForm1::ShowDescription(const Description& entry)
{
    ShowDescription(entry.line1, entry.line2);
}

}  // namespace lumora
