#pragma once
// What the Home \ Wireless tests share: the form opened with its asynchronous radio read done,
// choices made as the user makes them, Apply waited out, profiles written per test.
#include "FormFixture.h"
#include "HostFolders.h"
#include "TFM_Wirless.h"
#include "TestEnv.h"

#include <string>
#include <vector>

class Wirless : public formtest::FormTest {
public:
    formtest::FormHandle<TFM_Wirless> openWireless()
    {
        auto f = openForm(FM_Wirless);
        EXPECT_TRUE(formtest::pumpUntil([&] { return !f->RadioWaveBinding->Busy; }, 5000));
        return f;
    }
    // Picks an entry as the user does: the change handler runs.
    static void choose(TComboBox *combo, const std::string &text)
    {
        const int index = combo->Items()->IndexOf(text);
        ASSERT_GE(index, 0) << text << " is not listed in " << combo->Name();
        combo->SetItemIndex(index);
        if (combo->OnChange)
            combo->OnChange(combo);
    }
    static void chooseMode(TFM_Wirless &f, const std::string &mode) { choose(f.ED_APModeTempComboBox, mode); }
    static void chooseAuth(TFM_Wirless &f, const std::string &auth) { choose(f.Ed_SecAuthaTemp, auth); }
    static std::vector<std::string> items(TComboBox *combo)
    {
        std::vector<std::string> out;
        for (int i = 0; i < combo->Items()->Count(); ++i)
            out.push_back(combo->Items()->Strings(i));
        return out;
    }
    // A profile of catalog lines written for this test.
    static std::string profile(const std::string &lines)
    {
        const std::string path = kvtest::makeTempDir("kv-wirless-") + "/case.cat";
        kvtest::writeText(path, lines);
        return path;
    }
    // Apply, then wait until its last write (an awaited one among them) has ended.
    static void apply(TFM_Wirless &f)
    {
        click(f.Bt_Apply);
        EXPECT_TRUE(formtest::pumpUntil([&] { return !f.Applying(); }, 5000));
    }
};
