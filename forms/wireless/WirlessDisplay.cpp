// Home \ Wireless: the binding groups, how the form reads them at creation and on Refresh, and
// what it shows of them.
#include "TFM_Wirless.h"

#include "FormGlobals.h"
#include "KvSNMPReadBatch.h"
#include "MainForm.h"
#include "WirlessItems.h"

#include <algorithm>

using namespace wirless;

namespace {

constexpr uint32_t kRW = KvAccess::ReadWrite;
constexpr uint32_t kRO = KvAccess::ReadOnly;
// What a channel list shows when the device gave none.
const AnsiString kDefaultChannel = "6";
const AnsiString kDefaultChannelList = "1 2 3 4 5 6 7 8 9 10 11";

} // namespace

TFM_Wirless::Capabilities TFM_Wirless::CurrentCapabilities()
{
    Capabilities c;
    if (!MainForm)
        return c;
    const TMainForm &m = *MainForm;
    c.Rogue = CapabilityNumber(m.Ed_Rogue->Text());
    c.Turbomode = CapabilityNumber(m.ED_Turbomode->Text());
    c.APModes = static_cast<uint32_t>(CapabilityNumber(m.APModeSupport->Text()));
    c.NewMulti = CapabilityNumber(m.NewMultiSupport->Text());
    c.KeyTypeSup = CapabilityNumber(m.Ed_KeyTypeSup->Text());
    c.WDSSite = CapabilityNumber(m.Ed_spWDSSite->Text());
    c.Accounting = CapabilityNumber(m.Ed_spAccounting->Text());
    c.StringChange = CapabilityNumber(m.ApmodeStringChangeSupport->Text());
    c.MSSIDAndWDS = CapabilityNumber(m.mssidAndWdssupport->Text());
    c.FwVer = m.Ed_FwVer->Text();
    c.MultiSSID = IsMultiSSIDDevice();
    return c;
}

void TFM_Wirless::ReadCapabilities()
{
    m_caps = CurrentCapabilities();
    m_multiSSID = m_caps.MultiSSID;
}

std::unique_ptr<FormBinding> TFM_Wirless::Bind(const char *label, const KvSNMPItem *items,
                                               KvSNMPItemType type, BindMode mode, int32_t timeout,
                                               int32_t keyCount)
{
    return MakeBinding(this, {.Items = items,
                              .Label = label,
                              .Type = type,
                              .KeyCount = keyCount,
                              .Mode = mode,
                              .Timeout = timeout});
}

void TFM_Wirless::SetItemAccess(FormBinding &binding, const AccessPlan &plan)
{
    for (const auto &[item, access] : plan)
        binding.Request.VarList.GetItem(item)->Access = access;
}

void TFM_Wirless::SetStatus(const AnsiString &text)
{
    StatusBar1->SetSimpleText(text);
}

void TFM_Wirless::ShowUnreadGroups()
{
    if (m_applying)
        return;
    const std::vector<FormBinding *> groups = Bindings();
    // The last read to end tells.
    if (std::any_of(groups.begin(), groups.end(),
                    [](const FormBinding *b) { return b->LastRead() == ReadState::Reading; }))
        return;
    // A probe the device answered without the object tells only that the device lacks it.
    const FormBinding *const probes[] = {AutoScanBinding.get(), BgModeBinding.get(),
                                         RadiusBackupSupportBinding.get(), AccountBackupSupportBinding.get()};
    const std::vector<AnsiString> &named = Chain.Skipped();
    AnsiString failure;
    std::vector<AnsiString> unread;
    // After Apply, a group its re-read lost is named as not read back, once.
    std::vector<const ReadOutcome *> lost;
    for (const FormBinding *b : groups) {
        if (!m_outcome.empty() && b->ReadBackFailed()) {
            lost.push_back(b);
            continue;
        }
        if (b->LastRead() != ReadState::Failed ||
            (!b->FailedUnanswered() &&
             std::find(std::begin(probes), std::end(probes), b) != std::end(probes)) ||
            (!m_outcome.empty() && std::find(named.begin(), named.end(), b->Label()) != named.end()))
            continue;
        if (failure.empty())
            failure = b->ReadFailure();
        unread.push_back(b->Label());
    }
    if (!m_outcome.empty())
        SetStatus(NotReadText(ReadBackText(m_outcome, Chain, lost), unread));
    else if (!unread.empty())
        SetStatus(NotReadText(failure, unread));
}

void TFM_Wirless::FormCreate(TObject *)
{
    GuardCreate(StatusBar1, [this] { Open(); });
}

void TFM_Wirless::Open()
{
    struct Loading {
        bool &flag;
        ~Loading() { flag = false; }
    } loading{m_loading};
    m_loading = true;
    m_openedWhole = false;
    ReadCapabilities();
    TS_11a->SetText(gBand11gName);
    TS_11g->SetTabVisible(false);
    TS_11g->SetEnabled(false);
    PageControl1->SetActivePage(TS_11a);
    AD_SuperMode->SetVisible(m_caps.Turbomode != 0);
    CB_SuperMode_jp->SetVisible(m_caps.Turbomode == 0);

    LoadSettings();
    ReadRadioGroups();
    AD_SuperModeChange(nullptr);
    ED_APModeTempComboBoxtestChange(nullptr);
    ShowChannelList(Ed_ChanListg, Ed_Chang, CB_Chang);
    Ed_SSIDa->SetMaxLength(32);
    Ed_SSIDg->SetMaxLength(32);
    m_openedWhole = true;
    // An object the device lacks is answered: only silence leaves the opening incomplete.
    for (const FormBinding *b : Bindings())
        if (b != RadioWaveBinding.get() && b->FailedUnanswered())
            m_openedWhole = false;
    ShowUnreadGroups();
}

// The radio's own groups, which every device has.
void TFM_Wirless::ReadRadioGroups()
{
    SSIDBinding = MakeBinding(this, {.Items = kSSIDItems,
                                     .Label = "SSID",
                                     .Type = MVT_SV,
                                     .Mode = BindMode::Sync,
                                     .Timeout = 1000,
                                     .Log = StatusBar1});
    SetItemAccess(*SSIDBinding,
                  {{kSSID, kRW}, {kBroadcast, kRW}, {kChannel, kRW}, {kChannelList, kRO}, {kFrequency, kRO}});
    SSIDBinding->AssociateEdits(kSSID, "%s", Ed_SSIDa);
    SSIDBinding->AssociateCombo(kBroadcast, CB_SSIDBcasta);
    SSIDBinding->AssociateEdits(kChannel, "%s", Ed_Chana);
    SSIDBinding->AssociateEdits(kChannelList, "%s", Ed_ChanLista);
    SSIDBinding->AssociateEdits(kFrequency, "%s", Ed_RaFreqa);
    SSIDBinding->Get();
    gWirelessChannelText = Ed_Chana->Text();

    BgModeBinding = Bind("802.11b/g Mode", kBgModeItems, SVT_SV, BindMode::Sync, 1000);
    BgModeBinding->AssociateCombo(0, CB_bgModea);
    BgModeRead = BgModeBinding->Get();
    if (BgModeRead) {
        const bool turbo = m_caps.Turbomode != 0;
        if (CB_bgModea->ItemIndex() == 1) { // 11b only: no super G
            if (turbo) {
                AD_SuperMode->SetItemIndex(2);
                AD_SuperMode->SetEnabled(false);
            } else {
                CB_SuperMode_jp->SetItemIndex(0);
                CB_SuperMode_jp->SetEnabled(false);
            }
        } else {
            AD_SuperMode->SetEnabled(turbo);
            CB_SuperMode_jp->SetEnabled(!turbo);
        }
    }

    // The device without rogue detection offers static turbo too; any other answer
    // leaves the super mode alone.
    if (m_caps.Rogue == 0 || m_caps.Rogue == 1) {
        SuperModeBinding = Bind("Super G Mode", m_caps.Rogue == 0 ? kSuperModeItems : kSuperModeItems2,
                                SVT_SV, BindMode::Sync, 1000);
        SuperModeBinding->AssociateCombo(0, AD_SuperMode);
        SuperModeBinding->Get();
    }
    if (m_caps.Turbomode == 0)
        FollowSuperMode();

    // Channel lists as text: their blanks separate the channels.
    DynChannelListBinding = Bind("Dynamic Turbo Channels", kDynChannelItems, SVT_SV, BindMode::Sync, 1000);
    DynChannelListBinding->AssociateEdits(0, "%s", Ed_DynChLista);
    if (!DynChannelListBinding->Get())
        Ed_DynChLista->SetText(kDefaultChannel);
    StatChannelListBinding = Bind("Static Turbo Channels", kStatChannelItems, SVT_SV, BindMode::Sync, 1000);
    StatChannelListBinding->AssociateEdits(0, "%s", Ed_StatChLista);
    if (!StatChannelListBinding->Get())
        Ed_StatChLista->SetText(kDefaultChannel);

    // Read asynchronously: its read may end after every other.
    RadioWaveBinding = MakeBinding(
        this, {.Items = kRadioWaveItems,
               .Label = "Radio Wave",
               .Type = MVT_SV,
               .Mode = BindMode::Async,
               .OnGetDone = [this](KvSNMPRequest2Controls *, KvSNMPError *) { ShowUnreadGroups(); }});
    RadioWaveBinding->AssociateCombo(0, CbxRadio);
    RadioWaveBinding->Get();

    MultiOverWDSBinding = Bind("Multi-SSID over WDS", kMultiOverWDSItems, MVT_SV, BindMode::Sync, 1000);
    MultiOverWDSBinding->AssociateCombo(0, CB_gmultioverwds);
    MultiOverWDSBinding->Get();
}

bool TFM_Wirless::ReopenIfIncomplete()
{
    if (m_openedWhole && CurrentCapabilities() == m_caps)
        return false;
    if (!SurveyIdle || (SiteSurveyBinding && SiteSurveyBinding->Busy))
        return false;
    for (const FormBinding *b : Bindings())
        if (b->Busy)
            return false;
    ResetBindings();
    AutoScanRead = KeyTypeRead = AccountingShown = BgModeRead = MultiSSIDWasEnabled = false;
    // The controls an opening finds as they were made.
    for (TControl *c : std::initializer_list<TControl *>{LabelAcntMode, CB_AcntEnable, LabelAcntServer,
                                                         Ed_AcntServer, LabelAcntPort, Ed_AcntPort})
        c->SetVisible(false);
    for (TControl *c : std::initializer_list<TControl *>{AD_SuperMode, CB_SuperMode_jp, CB_AuSc})
        c->SetEnabled(true);
    GuardCreate(StatusBar1, [this] { Open(); });
    return true;
}

void TFM_Wirless::LoadSettings()
{
    PlaceRows(m_multiSSID);
    if (!m_multiSSID)
        return;

    BindModeAndSecurity();
    BindGuests();
    BindServers();
    BindPassPhraseAndSurvey();
    ShowAsRead();
}

// The partners of the AP mode, the primary SSID's security and its key type.
void TFM_Wirless::BindModeAndSecurity()
{
    AutoScanBinding = Bind("Auto Channel Scan", kAutoScanItems, MVT_SV, BindMode::Sync, 0);
    AutoScanBinding->Associate(0, CB_AuSc);
    AutoScanRead = AutoScanBinding->Get();
    CB_AuSc->SetVisible(AutoScanRead);

    APModeBinding = Bind("AP Mode", kAPModeItems, MVT_SV, BindMode::Sync, 1000);
    APModeBinding->AssociateCombo(kAPMode, ED_APModeComboBox);
    const std::array<TEdit *, 8> remote = RemoteMACEdits();
    for (int i = 0; i < 8; ++i)
        APModeBinding->AssociateEdits(kRemoteMAC1 + i, "%h", remote[static_cast<std::size_t>(i)]);
    // The repeater and client modes: the access point joined and its SSID.
    if (m_caps.APModes & 3u) {
        SetItemAccess(*APModeBinding, {{kRootMAC, kRW}, {kAPModeSSID, kRW}});
        APModeBinding->AssociateEdits(kRootMAC, "%h", Ed_RoMAddra0);
        APModeBinding->AssociateEdits(kAPModeSSID, "%s", Ed_SSID);
    }
    APModeBinding->OnAfterSet = [this] { ClearEmptyRemoteMACs(); };
    APModeBinding->Get();

    SecurityBinding = Bind("Authentication", kSecurityItems, MVT_SV, BindMode::Sync, 1000);
    SetItemAccess(*SecurityBinding, {{kAuth, kRW},
                                     {kEncryption, kRW},
                                     {kValidKey, kRW},
                                     {kKey1, kRW},
                                     {kKey1 + 1, kRW},
                                     {kKey1 + 2, kRW},
                                     {kKey1 + 3, kRW}});
    SecurityBinding->AssociateCombo(kAuth, Ed_SecAutha);
    SecurityBinding->AssociateCombo(kEncryption, Ed_SecEncypa);
    SecurityBinding->AssociateCombo(kValidKey, Ed_SecValKeya);
    const std::array<TEdit *, 4> keys = KeyEdits();
    for (int i = 0; i < 4; ++i)
        SecurityBinding->AssociateEdits(kKey1 + i, "%s", keys[static_cast<std::size_t>(i)]);
    SecurityBinding->Get();
    ValidKeyText = ReadValueName(*SecurityBinding, kValidKey);

    if (m_caps.KeyTypeSup == 1) {
        KeyTypeBinding = Bind("Key Type", kKeyTypeItems, SVT_SV, BindMode::Sync, 0);
        KeyTypeBinding->AssociateCombo(0, Ed_KeyType);
        KeyTypeRead = KeyTypeBinding->Get();
    }
}

// The guest SSIDs of the scheme the device has, whose security the primary's must fit.
void TFM_Wirless::BindGuests()
{
    if (m_caps.NewMulti == 1) {
        MSSIDStateBinding = Bind("Multi-SSID", kMSSIDStateItems, SVT_SV, BindMode::Sync, 1000);
        MSSIDStateBinding->AssociateCombo(0, CB_MultEnable);
        MSSIDStateBinding->Get();
        MultiSSIDWasEnabled = CB_MultEnable->ItemIndex() > 0;
        SSIDTableBinding = Bind("Multi-SSID Table", kSSIDTableItems, MVT_UMV, BindMode::Sync, 1000, 2);
        SSIDTableBinding->SetupListView(LV_Multi2, false);
        SSIDTableBinding->Get();
        FillKeyIndexList();
    } else if (m_caps.NewMulti == 0) {
        GuestStateBinding = Bind("VLAN and Guest SSIDs", kGuestStateItems, MVT_SV, BindMode::Sync, 0);
        int item = 0;
        for (TComboBox *c : {Master_ComboBox, Guest1_ComboBox, Guest2_ComboBox, Guest3_ComboBox,
                             GuestEncry1_ComboBox, GuestEncry2_ComboBox, GuestEncry3_ComboBox})
            GuestStateBinding->AssociateCombo(item++, c);
        GuestStateBinding->Get();
        GuestKeyIndexBinding = Bind("Guest SSID Key Index", kGuestKeyIndexItems, MVT_SV, BindMode::Sync, 0);
        item = 0;
        for (TComboBox *c : {GuestKeyIndex1_ComboBox, GuestKeyIndex2_ComboBox, GuestKeyIndex3_ComboBox})
            GuestKeyIndexBinding->AssociateCombo(item++, c);
        GuestKeyIndexBinding->Get();
    }
}

void TFM_Wirless::BindServers()
{
    RadiusBinding = Bind("RADIUS Server", kRadiusItems, MVT_SV, BindMode::Sync, 1000);
    RadiusBinding->AssociateCombo(kRadiusCipher, CiphertypeComboBox);
    RadiusBinding->AssociateEdits(kRadiusPort, "%u{n1x65535}", RadiusportEdit);
    RadiusBinding->AssociateEdits(kRadiusInterval, "%u{n300x9999999}", GroupKeyEdit);
    RadiusBinding->AssociateEdits(kRadiusServer, "%s", RadiusServerEdit);
    RadiusBinding->AssociateEdits(kRadiusSecret, "%s", RadiusSecretEdit);
    RadiusBinding->Get();

    RadiusBackupSupportBinding =
        Bind("Secondary RADIUS Support", kRadiusBackupSupportItems, SVT_SV, BindMode::Sync, 1000);
    RadiusBackupSupportBinding->AssociateEdits(0, "%s", Ed_RaduisSupport);
    RadiusBackupSupportBinding->Get();
    AccountBackupSupportBinding =
        Bind("Secondary Accounting Support", kAccountBackupSupportItems, SVT_SV, BindMode::Sync, 1000);
    AccountBackupSupportBinding->AssociateEdits(0, "%s", Ed_AccountSupport);
    AccountBackupSupportBinding->Get();
    if (CapabilityNumber(Ed_RaduisSupport->Text()) == 1) {
        BackupRadiusBinding =
            Bind("Secondary RADIUS Server", kBackupRadiusItems, SVT_SV, BindMode::Sync, 1000);
        BackupRadiusBinding->AssociateEdits(0, "%s", Ed_SecRadiusServer);
        BackupRadiusBinding->AssociateEdits(1, "%u{n1x65535}", Ed_SecRadiusport);
        BackupRadiusBinding->AssociateEdits(2, "%s", Ed_SecRadiusSecret);
        BackupRadiusBinding->AssociateCombo(3, CB_RadiusMode);
        BackupRadiusBinding->Get();
    }
    if (CapabilityNumber(Ed_AccountSupport->Text()) == 1) {
        BackupAccountingBinding =
            Bind("Secondary Accounting Server", kBackupAccountingItems, MVT_SV, BindMode::Sync, 1000);
        BackupAccountingBinding->AssociateCombo(kAcntMode, CB_AccountingMode);
        BackupAccountingBinding->AssociateEdits(kAcntServer, "%s", Ed_SecAccountServer);
        BackupAccountingBinding->AssociateEdits(kAcntPort, "%u{n1x65535}", Ed_SecAccountPort);
        BackupAccountingBinding->Get();
    }
    // Backup servers the device lacks stay shown but cannot be edited.
    CB_RadiusModeChange(nullptr);
    CB_AccountingMode->SetEnabled(BackupAccountingBinding != nullptr);
    CB_AccountingModeChange(nullptr);
    StoreRadiusTexts();

    if (m_caps.Accounting == 1) {
        for (TControl *c : std::initializer_list<TControl *>{LabelAcntMode, CB_AcntEnable, LabelAcntServer,
                                                             Ed_AcntServer, LabelAcntPort, Ed_AcntPort})
            c->SetVisible(true);
        AccountingBinding = Bind("Accounting", kAccountingItems, MVT_SV, BindMode::Sync, 1000);
        AccountingBinding->AssociateCombo(kAcntMode, CB_AcntEnable);
        AccountingBinding->AssociateEdits(kAcntServer, "%s", Ed_AcntServer);
        AccountingBinding->AssociateEdits(kAcntPort, "%u{n1x65535}", Ed_AcntPort);
        AccountingBinding->Get();
        CB_AcntEnableChange(nullptr);
        AccountingShown = true;
    }
}

void TFM_Wirless::BindPassPhraseAndSurvey()
{
    PassPhraseBinding = Bind("PassPhrase", kPassPhraseItems, MVT_SV, BindMode::Sync, 5000);
    PassPhraseBinding->AssociateCombo(0, CipherforPSKBox);
    PassPhraseBinding->AssociateEdits(1, "%u{n300x9999999}", GroupKeyPSKEdit);
    PassPhraseBinding->AssociateEdits(2, "%s", PassPhrasePSKEdit);
    PassPhraseBinding->Get();

    // The scan is a command: sent once, never retried.
    SiteScanBinding = MakeBinding(
        this, {.Items = kSiteScanItems,
               .Label = "Site Survey",
               .Type = SVT_SV,
               .Mode = BindMode::Async,
               .Timeout = 5000,
               .OnSetDone = [this](KvSNMPRequest2Controls *s, KvSNMPError *e) { OnSiteSurveyDone(s, e); }});
    SiteScanBinding->Request.Retries = 0;
    SiteScanBinding->AssociateCombo(0, SiteScanComboBox);
    SiteSurveyBinding = MakeBinding<New_req2Edit>(this, {.Items = kSiteSurveyItems,
                                                         .Label = "Site Survey",
                                                         .Type = MVT_UMV,
                                                         .KeyCount = 1,
                                                         .Mode = BindMode::Sync,
                                                         .Timeout = 1000});
    SiteSurveyBinding->OnAfterGet = [this] { OnSiteSurveyTableGot(); };
    SiteSurveyBinding->SetupListView(SiteServeyListView, false);
    SiteSurveyBinding->KeyColumn = kSurveyWDSColumn;
    SiteServeyListView->Columns()->Items(kSurveyIndexColumn)->SetWidth(0);
    SiteServeyListView->Columns()->Items(kSurveyWDSColumn)->SetWidth(0);

    if (m_caps.NewMulti == 1) {
        GuestEncryptionBinding = MakeBinding(this, {.Items = kGuestItems,
                                                    .Label = "Guest SSID Encryption",
                                                    .Type = MVT_SV,
                                                    .Mode = BindMode::Async});
        GuestAuthBinding = MakeBinding(this, {.Items = kGuestItems,
                                              .Label = "Guest SSID Authentication",
                                              .Type = MVT_SV,
                                              .Mode = BindMode::Async});
        const std::array<TComboBox *, 7> encryption = GuestEncryptionCombos();
        const std::array<TComboBox *, 7> auth = GuestAuthCombos();
        for (int i = 0; i < 7; ++i) {
            GuestEncryptionBinding->AssociateCombo(i, encryption[static_cast<std::size_t>(i)]);
            GuestAuthBinding->AssociateCombo(7 + i, auth[static_cast<std::size_t>(i)]);
        }
    }
}

// Lists, partner and key edits, lengths and groups as the groups just read make them.
void TFM_Wirless::ShowAsRead()
{
    FillKeyLists();
    SetKeyLengths();
    FillModeLists();
    NormalizeRemoteMACs();
    SetEditLimits();
    // Keys as characters first: the key size is taken from the length of the key shown.
    ShowKeysAsText();
    ShowSecurityGroups();
}

void TFM_Wirless::StoreRadiusTexts()
{
    GroupKeyIntervalText = GroupKeyEdit->Text();
    RadiusServerText = RadiusServerEdit->Text();
    RadiusPortText = RadiusportEdit->Text();
    RadiusSecretText = RadiusSecretEdit->Text();
    CipherText = CiphertypeComboBox->Text();
}

void TFM_Wirless::Bt_RefreshClick(TObject *Sender)
{
    // Apply ends with a re-read of its own.
    if (Sender && m_applying)
        return;
    const KvSNMPReadBatch reads;
    // The user's Refresh: the status tells what it reads, no longer the last Apply.
    if (Sender)
        m_outcome.clear();
    if (Sender && ReopenIfIncomplete())
        return;
    if (SSIDBinding) {
        SSIDBinding->Get();
        // Its log line would hide the outcome of the Apply that re-reads.
        if (!m_outcome.empty())
            SetStatus(m_outcome);
        gWirelessChannelText = Ed_Chana->Text();
        if (Ed_ChanLista->Text().empty())
            Ed_ChanLista->SetText(kDefaultChannelList);
    }
    if (SuperModeBinding)
        SuperModeBinding->Get();
    if (DynChannelListBinding && !DynChannelListBinding->Get())
        Ed_DynChLista->SetText(kDefaultChannel);
    if (StatChannelListBinding && !StatChannelListBinding->Get())
        Ed_StatChLista->SetText(kDefaultChannel);
    if (RadioWaveBinding)
        RadioWaveBinding->Get();

    if (m_multiSSID) {
        for (FormBinding *b : {AutoScanBinding.get(), APModeBinding.get(), SecurityBinding.get()})
            if (b)
                b->Get();
        if (KeyTypeBinding)
            KeyTypeBinding->Get();
        else if (m_caps.KeyTypeSup == 0)
            Ed_KeyType->SetItemIndex(0);
        for (FormBinding *b : {MSSIDStateBinding.get(), SSIDTableBinding.get(), GuestStateBinding.get(),
                               GuestKeyIndexBinding.get()})
            if (b)
                b->Get();
        ValidKeyText = ReadValueName(*SecurityBinding, kValidKey);
        FillKeyIndexList();
        if (RadiusBinding) {
            RadiusBinding->Get();
            StoreRadiusTexts();
        }
        if (AccountingShown && AccountingBinding) {
            AccountingBinding->Get();
            CB_AcntEnableChange(nullptr);
        }
        if (PassPhraseBinding)
            PassPhraseBinding->Get();
        const int item = ModeItem();
        if (item == 3 || item == 4)
            ReadSurveyTable();
        if (BackupRadiusBinding) {
            BackupRadiusBinding->Get();
            CB_RadiusModeChange(nullptr);
        }
        if (BackupAccountingBinding)
            BackupAccountingBinding->Get();
        ShowAsRead();
    }
    AD_SuperModeChange(nullptr);
    ShowChannelList(Ed_ChanListg, Ed_Chang, CB_Chang);
    ShowUnreadGroups();
}
