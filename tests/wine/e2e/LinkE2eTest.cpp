// The links of the About and promotion pages clicked from outside: each hands its address to
// the program registered for the address's scheme, once, and nothing else on the pages does.
#include <string>
#include <vector>

#include "E2eDriver.h"
#include "WineRegistry.h"
#include "WineTest.h"
#include "form/Links.h"

namespace lumora::winetest {
namespace {

using driver::App;
using namespace driver::pages;

std::string OwnFolder()
{
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    const std::string full = path;
    return full.substr(0, full.find_last_of('\\'));
}

// Registers manager_remote as the open command of the http and mailto schemes, writing each
// address it is given to a file, and puts the prefix's own commands back afterwards.
class RecordingLinkHandlers {
public:
    RecordingLinkHandlers()
    {
        char temp[MAX_PATH] = {};
        GetTempPathA(MAX_PATH, temp);
        file_ = std::string(temp) + "lumora-links.txt";
        DeleteFileA(file_.c_str());
        const std::string command = "\"" + OwnFolder() + "\\manager_remote.exe\" record \"" + file_ + "\" \"%1\"";
        for (const char* scheme : {"http", "mailto"}) {
            const std::string key = std::string(scheme) + "\\shell\\open\\command";
            const RawValue old = QueryRaw(HKEY_CLASSES_ROOT, key, "");
            saved_.push_back({key, old.rc == ERROR_SUCCESS, old.data});
            Set(key, StringBytes(command));
        }
    }
    ~RecordingLinkHandlers()
    {
        for (const auto& saved : saved_) {
            if (saved.existed) {
                Set(saved.key, saved.data);
            } else {
                RegDeleteKeyA(HKEY_CLASSES_ROOT, saved.key.c_str());
            }
        }
        DeleteFileA(file_.c_str());
    }
    RecordingLinkHandlers(const RecordingLinkHandlers&) = delete;
    RecordingLinkHandlers& operator=(const RecordingLinkHandlers&) = delete;

    bool Ready() const { return ready_; }

    // The addresses opened so far, in order.
    std::vector<std::string> Opened() const
    {
        std::vector<std::string> lines;
        const std::string text = ReadFileText(file_);
        std::size_t start = 0;
        for (std::size_t end = text.find('\n'); end != std::string::npos; end = text.find('\n', start)) {
            lines.push_back(text.substr(start, end - start));
            start = end + 1;
        }
        return lines;
    }

private:
    struct Saved {
        std::string key;
        bool existed;
        Bytes data;
    };

    void Set(const std::string& path, const Bytes& data)
    {
        HKEY key = nullptr;
        if (RegCreateKeyExA(HKEY_CLASSES_ROOT, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr) !=
            ERROR_SUCCESS) {
            ready_ = false;
            return;
        }
        if (RegSetValueExA(key, nullptr, 0, REG_SZ, data.data(), static_cast<DWORD>(data.size())) != ERROR_SUCCESS) {
            ready_ = false;
        }
        RegCloseKey(key);
    }

    std::string file_;
    std::vector<Saved> saved_;
    bool ready_ = true;
};

void ClickMiddle(App& app, const std::string& name)
{
    RECT client{};
    GetClientRect(app.Control(name), &client);
    app.ClickAt(name, client.right / 2, client.bottom / 2);
}

TEST(LinkE2e, EachLinkOpensItsAddressOnceAndOtherLabelsAndPicturesOpenNothing)
{
    RecordingLinkHandlers handlers;
    ASSERT_TRUE(handlers.Ready());
    App app;
    driver::Launch(app);

    // Clicked first, so that anything they opened would be in the file before the links'.
    app.SelectTab("PageControl1", kAboutPage);
    for (const char* name : {"RxLabel1", "RxLabel2", "Label1", "Image2", "Label57", "Label32", "Label24", "Label6",
                             "Label7", "Label12", "TabSheet3"}) {
        SCOPED_TRACE(name);
        ClickMiddle(app, name);
    }
    app.SelectTab("PageControl1", kPromotionPage);
    for (const char* name : {"Label50", "Label44", "Label45", "Label46", "Label51", "Label52", "TabSheet5"}) {
        SCOPED_TRACE(name);
        ClickMiddle(app, name);
    }

    const std::string partner = kPartnerDownloadLink;
    const struct {
        int page;
        const char* control;
        std::string address;
    } links[] = {
        {kAboutPage, "Label2", std::string("mailto:") + kAuthorEmail},
        {kAboutPage, "Label13", kHomepageLink},
        {kPromotionPage, "Image1", partner},
        {kPromotionPage, "Label53", partner},
    };
    std::vector<std::string> expected;
    for (const auto& link : links) {
        SCOPED_TRACE(link.control);
        app.SelectTab("PageControl1", link.page);
        ClickMiddle(app, link.control);
        expected.push_back(link.address);
        // The handler is a process of its own: its line comes when it has started and run.
        EXPECT_TRUE(driver::WaitUntil([&] { return handlers.Opened().size() >= expected.size(); }, 15000));
        const auto opened = handlers.Opened();
        ASSERT_EQ(opened.size(), expected.size());
        EXPECT_EQ(opened.back(), link.address);
    }
    // Long enough for a late second start of a handler to show.
    Sleep(1500);
    const auto opened = handlers.Opened();
    EXPECT_EQ(opened.size(), expected.size());
    for (std::size_t i = 0; i < opened.size() && i < expected.size(); ++i) {
        SCOPED_TRACE("opened #" + std::to_string(i + 1));
        EXPECT_EQ(opened[i], expected[i]);
    }
}

}  // namespace
}  // namespace lumora::winetest
