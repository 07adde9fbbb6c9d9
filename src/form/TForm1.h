// The main window TForm1: its controls, window state and every page's handlers.
//
// The handlers of each page live in that page's own file (RamPage.cpp, DiskCachePage.cpp, ...);
// the stores' halves of ReadData and SaveData in settings/ and tuning/.
#pragma once
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "ui/Controls.h"
#include "ui/Slider.h"
#include "ui/SpinEdit.h"
#include "platform/Ports.h"

namespace lumora {

class TSystemProbe;
class TXWinReboot;
class CpuUsageMeter;
struct MemoryStatus;

class TForm1 : public TControl {
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

    // --- RAM page (TabSheet1)
    TLabel Target{"Target", &TabSheet1};
    TRxSlider RxSlider1{"RxSlider1", &TabSheet1};
    TLabel Label18{"Label18", &TabSheet1};
    TLabel Minimum{"Minimum", &TabSheet1};
    TRxSlider RxSlider2{"RxSlider2", &TabSheet1};
    TLabel Label31{"Label31", &TabSheet1};
    TCheckBox CheckBox6{"CheckBox6", &TabSheet1};
    TLabel CPUFree{"CPUFree", &TabSheet1};
    TRxSpinEdit RxSpinEdit7{"RxSpinEdit7", &TabSheet1};
    TLabel Label23{"Label23", &TabSheet1};
    TLabel TimeFree{"TimeFree", &TabSheet1};
    TRxSpinEdit RxSpinEdit1{"RxSpinEdit1", &TabSheet1};
    TLabel Label14{"Label14", &TabSheet1};
    TRxSpinEdit RxSpinEdit2{"RxSpinEdit2", &TabSheet1};
    TLabel Label15{"Label15", &TabSheet1};
    TLabel PopMenu{"PopMenu", &TabSheet1};
    TRxSpinEdit RxSpinEdit3{"RxSpinEdit3", &TabSheet1};
    TLabel Label19{"Label19", &TabSheet1};
    TRxSpinEdit RxSpinEdit4{"RxSpinEdit4", &TabSheet1};
    TLabel Label20{"Label20", &TabSheet1};
    TRxSpinEdit RxSpinEdit5{"RxSpinEdit5", &TabSheet1};
    TLabel Label21{"Label21", &TabSheet1};
    TButton Button5{"Button5", &TabSheet1};

    // --- Options page (TabSheet2)
    TCheckBox CheckBox7{"CheckBox7", &TabSheet2};
    TCheckBox CheckBox2{"CheckBox2", &TabSheet2};
    TCheckBox CheckBox3{"CheckBox3", &TabSheet2};
    TCheckBox CheckBox5{"CheckBox5", &TabSheet2};
    TCheckBox CheckBox1{"CheckBox1", &TabSheet2};
    TEdit Edit1{"Edit1", &TabSheet2};
    TSpeedButton SpeedButton1{"SpeedButton1", &TabSheet2};

    // --- Disk Cache page (TabSheet4)
    TLabel Label3{"Label3", &TabSheet4};
    TLabel Label16{"Label16", &TabSheet4};
    TRxSlider RxSlider3{"RxSlider3", &TabSheet4};
    TLabel Label10{"Label10", &TabSheet4};
    TLabel Label17{"Label17", &TabSheet4};
    TRxSlider RxSlider4{"RxSlider4", &TabSheet4};
    TLabel Label11{"Label11", &TabSheet4};
    TLabel Label30{"Label30", &TabSheet4};
    TRxSlider RxSlider5{"RxSlider5", &TabSheet4};
    TLabel Label49{"Label49", &TabSheet4};
    TComboBox ComboBox1{"ComboBox1", &TabSheet4};
    TButton Button4{"Button4", &TabSheet4};

    // --- File Cache page (TabSheet7)
    TLabel Label55{"Label55", &TabSheet7};
    TLabel Label4{"Label4", &TabSheet7};
    TRxSlider RxSlider6{"RxSlider6", &TabSheet7};
    TLabel Label56{"Label56", &TabSheet7};
    TLabel Label5{"Label5", &TabSheet7};
    TRxSlider RxSlider7{"RxSlider7", &TabSheet7};
    TLabel Label54{"Label54", &TabSheet7};
    TComboBox ComboBox2{"ComboBox2", &TabSheet7};
    TButton Button6{"Button6", &TabSheet7};

    // --- Tweak page (TabSheet8)
    TCheckBox CheckBox8{"CheckBox8", &TabSheet8};
    TCheckBox CheckBox9{"CheckBox9", &TabSheet8};
    TCheckBox CheckBox10{"CheckBox10", &TabSheet8};

    // --- Promotion page (TabSheet5)
    TImage Image1{"Image1", &TabSheet5};
    TLabel Label50{"Label50", &TabSheet5};
    TLabel Label44{"Label44", &TabSheet5};
    TLabel Label45{"Label45", &TabSheet5};
    TLabel Label46{"Label46", &TabSheet5};
    TLabel Label51{"Label51", &TabSheet5};
    TLabel Label52{"Label52", &TabSheet5};
    TLabel Label53{"Label53", &TabSheet5};

    // --- About page (TabSheet3)
    TLabel RxLabel1{"RxLabel1", &TabSheet3};
    TImage Image2{"Image2", &TabSheet3};
    TLabel RxLabel2{"RxLabel2", &TabSheet3};
    TLabel Label1{"Label1", &TabSheet3};
    TGroupBox GroupBox4{"GroupBox4", &TabSheet3};
    TLabel Label57{"Label57", &TabSheet3};
    TLabel Label60{"Label60", &TabSheet3};
    TLabel Label58{"Label58", &TabSheet3};
    TLabel Label61{"Label61", &TabSheet3};
    TLabel Label59{"Label59", &TabSheet3};
    TLabel Label62{"Label62", &TabSheet3};
    TLabel Label47{"Label47", &TabSheet3};
    TLabel Label48{"Label48", &TabSheet3};
    TGroupBox GroupBox1{"GroupBox1", &TabSheet3};
    TLabel Label32{"Label32", &TabSheet3};
    TLabel Label24{"Label24", &TabSheet3};
    TLabel Label33{"Label33", &TabSheet3};
    TLabel Label25{"Label25", &TabSheet3};
    TProgressBar ProgressBar1{"ProgressBar1", &TabSheet3};
    TLabel Label35{"Label35", &TabSheet3};
    TLabel Label27{"Label27", &TabSheet3};
    TLabel Label36{"Label36", &TabSheet3};
    TLabel Label28{"Label28", &TabSheet3};
    TProgressBar ProgressBar2{"ProgressBar2", &TabSheet3};
    TLabel Label6{"Label6", &TabSheet3};
    TLabel Label2{"Label2", &TabSheet3};
    TLabel Label7{"Label7", &TabSheet3};
    TLabel Label13{"Label13", &TabSheet3};
    TLabel Label12{"Label12", &TabSheet3};

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
    std::uint16_t TargetFreeMB = 0;
    std::uint16_t MinimumFreeMB = 0;
    double FreeUpMB = 0;
    double FreeIntervalMin = 0;
    double CpuLimitPercent = 0;
    double MenuFreeMB1 = 0;
    double MenuFreeMB2 = 0;
    double MenuFreeMB3 = 0;
    std::uint16_t CpuDetectDisabled = 0;
    std::uint16_t AlwaysOnTopFlag = 0;
    std::uint16_t AutoStartFlag = 0;
    std::uint16_t ClearClipboardFlag = 0;
    std::uint16_t RamIconFlag = 0;
    std::uint16_t PlaySoundFlag = 0;
    std::string SoundFile;
    bool RestartPending = false;
    std::string MinFileCacheText;
    std::string MaxFileCacheText;
    std::string ChunkSizeText;
    std::string TemplateName;
    std::int32_t NameCacheSize = 0;
    std::int32_t PathCacheSize = 0;
    std::int32_t ContigAllocSize = 0;
    std::string PageBuffersText;
    std::string ConservativeSwapText;
    // Extended precision: the percentage of a fraction just off a half must not round to the half.
    long double CpuUsagePercent = 0;

    // The stay-on-top style of the window; its peer follows it.
    bool StayOnTop() const { return stayOnTop_; }
    void SetStayOnTop(bool onTop);
    // Closes the window, which ends the program; the native toolkit listens.
    std::function<void()> onClose;
    // The last name chosen in the sound-file dialog (OpenDialog1's memory).
    std::string OpenDialog1FileName;

    // Runs a handler at the dispatch boundary: an error shows the error box and the window
    // keeps running. Every native event enters the system through here.
    void Dispatch(const std::function<void()>& handler);

    // --- Main window (TForm1.cpp)
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

    // --- Agent settings store (settings/AgentStore.cpp)
    // The agent key's values into the window state; loading never fails.
    void ReadAgentValues();
    // Registers or removes the agent's autostart entry as the loaded "AutoStart" says; the one
    // write of a load. Skipped when the Run key does not exist or the agent key could not be read.
    void RegisterAutoStart();
    // The check boxes and window style that follow the loaded flags.
    void ApplyAgentFlags();
    // The RAM and Options pages from the window state.
    void FillRamAndOptions();
    // The autostart entry, then every value of the agent key.
    void SaveAgentValues();

    // --- Tuning store (tuning/TuningStore.cpp)
    // The tweaks, the file-system template and the disk cache texts; the Tweak and File Cache
    // pages follow them. Never fails.
    void LoadTuningValues();
    // The Disk Cache page from the disk cache texts, after the agent values are loaded.
    void LoadDiskCacheControls();
    // The tweaks, the file-system template and the disk cache texts, in that order.
    void SaveTuningValues();

    // --- RAM page (RamPage.cpp)
    void RxSlider1Change();
    void RxSlider2Change();
    void RxSpinEdit1Change();
    void RxSpinEdit2Change();
    void RxSpinEdit3Change();
    void RxSpinEdit4Change();
    void RxSpinEdit5Change();
    void RxSpinEdit7Change();
    void CheckBox6Click();
    void Button5Click();

    // --- Options page (OptionsPage.cpp)
    void CheckBox7Click();
    void CheckBox2Click();
    void CheckBox3Click();
    void CheckBox5Click();
    void CheckBox1Click();
    void SpeedButton1Click();

    // --- Disk Cache page (tuning/DiskCachePage.cpp)
    void RxSlider3Change();
    void RxSlider4Change();
    void RxSlider5Change();
    void ComboBox1Change();
    void Button4Click();

    // --- File Cache page (tuning/FileCachePage.cpp)
    void RxSlider6Change();
    void RxSlider7Change();
    void ComboBox2Change();
    void Button6Click();

    // --- Tweak page (tuning/TweakPage.cpp)
    void CheckBox8Click();
    void CheckBox9Click();
    void CheckBox10Click();

    // --- Live figures (monitor/StatusDisplay.cpp)
    void Timer1Timer();

    // --- Descriptions and links (assist/)
    void ShowDescription(const std::string& line1, const std::string& line2);
    void TargetMouseMove(int x, int y);
    void RxSlider1MouseMove(int x, int y);
    void Label18MouseMove(int x, int y);
    void MinimumMouseMove(int x, int y);
    void RxSlider2MouseMove(int x, int y);
    void Label31MouseMove(int x, int y);
    void CheckBox6MouseMove(int x, int y);
    void CPUFreeMouseMove(int x, int y);
    void RxSpinEdit7MouseMove(int x, int y);
    void Label23MouseMove(int x, int y);
    void TimeFreeMouseMove(int x, int y);
    void RxSpinEdit1MouseMove(int x, int y);
    void Label14MouseMove(int x, int y);
    void RxSpinEdit2MouseMove(int x, int y);
    void Label15MouseMove(int x, int y);
    void PopMenuMouseMove(int x, int y);
    void RxSpinEdit3MouseMove(int x, int y);
    void Label19MouseMove(int x, int y);
    void RxSpinEdit4MouseMove(int x, int y);
    void Label20MouseMove(int x, int y);
    void RxSpinEdit5MouseMove(int x, int y);
    void Label21MouseMove(int x, int y);
    void TabSheet1MouseMove(int x, int y);
    void CheckBox7MouseMove(int x, int y);
    void CheckBox2MouseMove(int x, int y);
    void CheckBox3MouseMove(int x, int y);
    void CheckBox5MouseMove(int x, int y);
    void CheckBox1MouseMove(int x, int y);
    void TabSheet2MouseMove(int x, int y);
    void RxSlider3MouseMove(int x, int y);
    void RxSlider4MouseMove(int x, int y);
    void RxSlider5MouseMove(int x, int y);
    void TabSheet4MouseMove(int x, int y);
    void RxSlider6MouseMove(int x, int y);
    void RxSlider7MouseMove(int x, int y);
    void TabSheet7MouseMove(int x, int y);
    void CheckBox8MouseMove(int x, int y);
    void CheckBox9MouseMove(int x, int y);
    void CheckBox10MouseMove(int x, int y);
    void TabSheet8MouseMove(int x, int y);
    void Label2Click();
    void Label13Click();
    void Image1Click();
    void Label53Click();

    Ports& ports;
    CpuUsageMeter& cpuMeter;

private:
    // Layout and handler binding of each page, run once by the constructor.
    void BuildFrame();
    void BuildRamPage();
    void BuildOptionsPage();
    void BuildDiskCachePage();
    void BuildFileCachePage();
    void BuildTweakPage();
    void BuildPromotionPage();
    void BuildAboutPage();
    // The cache pages' sliders: full-width rows from 0 to max in steps of increment.
    struct CacheSliderRow {
        TRxSlider* slider;
        int top, tabOrder, max;
        void (TForm1::*change)();
    };
    void PlaceCacheSliders(std::initializer_list<CacheSliderRow> rows, int increment);
    // The platform version query says NT; a refused query counts as Windows 9x.
    bool OnNtPlatform();
    void BindDescriptions();

    bool stayOnTop_ = false;
    // The last load opened the agent key, so the loaded "AutoStart" is the stored one.
    bool agentKeyRead_ = false;
    // A File Cache control changed since the last load: only then does the save choose a
    // template for the user.
    bool fileCacheEdited_ = false;
};

}  // namespace lumora
