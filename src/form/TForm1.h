// The main window TForm1: the frame, the window state, the stores and one object per page.
//
// Each page's controls and handlers live in its own class (RamPage, DiskCachePage, ...); the
// stores' data in settings/ and tuning/. ReadData and SaveData are the order of their steps.
#pragma once
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "form/AboutPage.h"
#include "form/DescriptionTable.h"
#include "form/DiskCachePage.h"
#include "form/FileCachePage.h"
#include "form/OptionsPage.h"
#include "form/PromotionPage.h"
#include "form/RamPage.h"
#include "form/TweakPage.h"
#include "ports/Ports.h"
#include "settings/AgentStore.h"
#include "tuning/TuningStore.h"
#include "ui/Controls.h"
#include "ui/ToolkitHost.h"

namespace lumora {

class TSystemProbe;
class TXWinReboot;
class CpuUsageMeter;
struct MemoryStatus;

class TForm1 : public TControl, public ToolkitHost {
public:
    // Builds every control from the layout; runs nothing yet.
    TForm1(Ports& ports, CpuUsageMeter& cpuMeter);
    ~TForm1() override;

    // --- Window-wide controls
    TPageControl PageControl1{"PageControl1", this};
    TTabSheet TabSheet1{"TabSheet1", &PageControl1};
    TTabSheet TabSheet2{"TabSheet2", &PageControl1};
    TTabSheet TabSheet4{"TabSheet4", &PageControl1};
    TTabSheet TabSheet7{"TabSheet7", &PageControl1};
    TTabSheet TabSheet8{"TabSheet8", &PageControl1};
    TTabSheet TabSheet5{"TabSheet5", &PageControl1};
    TTabSheet TabSheet3{"TabSheet3", &PageControl1};
    TButton Button2{"Button2", this};
    TButton Button3{"Button3", this};
    TGroupBox GroupBox5{"GroupBox5", this};
    TLabel Label8{"Label8", &GroupBox5};
    TLabel Label9{"Label9", &GroupBox5};
    TTimer Timer1;

    // --- The pages, in the order of their tabs
    RamPage Ram{*this, TabSheet1};
    OptionsPage Options{*this, TabSheet2};
    DiskCachePage DiskCache{*this, TabSheet4};
    FileCachePage FileCache{*this, TabSheet7};
    TweakPage Tweak{*this, TabSheet8};
    PromotionPage Promotion{*this, TabSheet5};
    AboutPage About{*this, TabSheet3};

    // --- Non-visual components
    std::unique_ptr<TSystemProbe> SystemProbe1;
    std::unique_ptr<TXWinReboot> XWinReboot1;

    // --- Window state (texts start empty, numbers at 0, flags off)
    std::string CurrentDir;
    std::uint16_t TotalPhysMB = 0;
    std::uint16_t FreePhysMB = 0;
    std::uint16_t FreePhysPercent = 0;
    std::uint16_t TotalSwapMB = 0;
    std::uint16_t FreeSwapMB = 0;
    std::uint16_t FreeSwapPercent = 0;
    bool RestartPending = false;
    // Extended precision: the percentage of a fraction just off a half must not round to the half.
    long double CpuUsagePercent = 0;
    // The agent's values and the Windows tuning values as last loaded, edited by the pages.
    AgentStore Agent;
    TuningStore Tuning;

    // The stay-on-top style of the window; its peer follows it.
    bool StayOnTop() const override { return stayOnTop_; }
    void SetStayOnTop(bool onTop);
    // Closes the window, which ends the program; the native toolkit listens.
    std::function<void()> onClose;
    void SetCloseRequest(std::function<void()> close) override { onClose = std::move(close); }
    TTimer& Timer() override { return Timer1; }
    // The last name chosen in the sound-file dialog (OpenDialog1's memory).
    std::string OpenDialog1FileName;

    // Runs a handler at the dispatch boundary: an error shows the error box and the window
    // keeps running. Every native event enters the system through here.
    void Dispatch(const std::function<void()>& handler) override;

    void FormCreate();
    // Reads CurrentDir from the agent key, or stores the working folder there on a first start.
    void SettleCurrentDir();
    void Button2Click();
    void Button3Click();
    void PageControl1Change();
    void ReadData();
    void SaveData();
    void TakeMemoryFigures();
    // The free figures and their shares of the start-up totals; a zero total gives 0 %.
    void TakeFreeFigures(const MemoryStatus& status);
    // The live figures of the About page (Timer1's handler).
    void Timer1Timer();
    // The two lines of the Description box.
    void ShowDescription(const std::string& line1, const std::string& line2);
    void ShowDescription(const Description& entry);

    Ports& ports;
    CpuUsageMeter& cpuMeter;

private:
    void BuildFrame();

    bool stayOnTop_ = false;
};

}  // namespace lumora
