#include "CapabilityProbe.h"

#include "Exception.h"
#include "KvSNMPErrors.h"
#include "KvSNMPRequest2Edits.h"
#include "MainForm.h"
#include "Misc.h"
#include "Startup.h"
#include "StdCtrls.h"

bool gSaveActivateSupported = false;

namespace {

using namespace KvSyntax;
using KvAccess::ReadOnly;
using KvAccess::ReadWrite;

#define E "1.3.6.1.4.1.32473.11.37.4"

const KvSNMPItem kFwVer[] = {{E ".4.1.1.1", "stFirmwareVersion", DisplayStr, ReadOnly}, {}};
const KvSNMPItem kCountry[] = {{E ".99.1.1.6", "countrycode", DisplayStr, ReadOnly}, {}};
const KvSNMPItem kTurbo[] = {{E ".99.1.1.2", "turbomodes", Integer, ReadOnly}, {}};
const KvSNMPItem kApModes[] = {{E ".99.1.1.1", "apmodes", Integer, ReadOnly}, {}};
const KvSNMPItem kMssid[] = {{E ".99.1.1.9", "mssidsupported", Integer, ReadOnly}, {}};
const KvSNMPItem kRogue[] = {{E ".99.1.1.10", "rogueapsupported", Integer, ReadOnly}, {}};
const KvSNMPItem kLan[] = {
    {E ".1.2.1", "hGetIPFrom", Integer, ReadWrite, &gHGetIPFromNames},
    {E ".1.2.2", "hIPAddress", IpAddress, ReadWrite},
    {E ".1.2.3", "hSubnetMask", IpAddress, ReadWrite},
    {E ".1.2.4", "hDefaultGateway", IpAddress, ReadWrite},
    {E ".3.2.1", "sysRestart", Integer, ReadWrite, &gSysRestartNames},
    {},
};
const KvSNMPItem kIsolated[] = {{E ".99.1.1.13", "mssidisolatedsecurity", Integer, ReadOnly}, {}};
const KvSNMPItem kSyslog[] = {{E ".99.1.1.11", "syslogsupported", Integer, ReadOnly}, {}};
const KvSNMPItem kIndication[] = {{E ".99.1.1.14", "mssidindication", Integer, ReadOnly}, {}};
const KvSNMPItem kKeyType[] = {{E ".99.1.1.15", "keytypeselection", Integer, ReadOnly}, {}};
const KvSNMPItem kWdsSurvey[] = {{E ".99.1.1.24", "wdssitesurvey", Integer, ReadOnly}, {}};
const KvSNMPItem kAccounting[] = {{E ".99.1.1.26", "accounting", Integer, ReadOnly}, {}};
const KvSNMPItem kSntp[] = {{E ".99.1.1.25", "sntp", Integer, ReadOnly}, {}};
const KvSNMPItem kModeString[] = {{E ".99.1.1.51", "apmodestringchangeSupported", Integer, ReadOnly}, {}};
const KvSNMPItem kSmtp[] = {{E ".99.1.1.32", "sMTPSupported", Integer, ReadOnly}, {}};
const KvSNMPItem kSuppress[] = {{E ".99.1.1.20", "mSSIDSuppress", Integer, ReadOnly}, {}};
const KvSNMPItem kWmm[] = {{E ".99.1.1.31", "mSSIDWmmSupported", Integer, ReadOnly}, {}};
const KvSNMPItem kGrouping[] = {{E ".99.1.1.34", "groupingsupported", Integer, ReadOnly}, {}};
const KvSNMPItem kSaveActivate[] = {
    {E ".5.1", "cSaveActivate", Integer, ReadWrite, &gCSaveActivateNames},
    {E ".5.2", "cDiscardChanges", Integer, ReadWrite, &gCDiscardChangesNames},
    {},
};
const KvSNMPItem kWdsInfo[] = {{E ".99.1.1.35", "wdsclientinfonotsupported", Integer, ReadOnly}, {}};
const KvSNMPItem kSsl[] = {{E ".99.1.1.37", "sslsupported", Integer, ReadOnly}, {}};
const KvSNMPItem kPacketStat[] = {{E ".99.1.1.36", "packetStatisticnotsupported", Integer, ReadOnly}, {}};
const KvSNMPItem kLinkStatus[] = {{E ".99.1.1.39", "ethernetLinkNotSupported", Integer, ReadOnly}, {}};
const KvSNMPItem kApMode[] = {{E ".2.1.1.1.1", "adAPMode", Integer, ReadWrite, &gAdAPModeNames3}, {}};
const KvSNMPItem kMssidWds[] = {{E ".99.1.1.49", "mssidAndWdssupport", Integer, ReadOnly}, {}};
const KvSNMPItem kSntpMethod[] = {{E ".3.5.7", "sntptimesetmethod", Integer, ReadWrite}, {}};
const KvSNMPItem kSntpRefresh[] = {{E ".3.5.9", "sntptimerefresh", DisplayStr, ReadWrite}, {}};
const KvSNMPItem kDynVlan[] = {{E ".99.1.1.54", "dynamicVlanSupported", Integer, ReadOnly}, {}};
const KvSNMPItem kWmmOverWds[] = {{E ".99.1.1.53", "wmmOverWDSSupported", Integer, ReadOnly}, {}};
const KvSNMPItem kPriority[] = {{E ".99.1.1.56", "prioritybySSIDSupported", Integer, ReadOnly}, {}};
const KvSNMPItem kIpRange[] = {{E ".99.1.1.55", "ipRangeSupported", Integer, ReadOnly}, {}};
const KvSNMPItem kLimitIp[] = {{E ".3.1.3", "admlimitIPStatus", Integer, ReadWrite, &gAdmlimitIPStatusNames},
                               {}};
const KvSNMPItem kSysIp[] = {{E ".1.2.2", "hIPAddress", IpAddress, ReadWrite}, {}};

#undef E

// The rows that each capability tick reads again, in the order it reads them.
constexpr int kRereadOrder[] = {1,  2,  3,  4,  5,  6,  7,  8,  9,  10, 11, 12,
                                13, 14, 26, 16, 17, 18, 19, 20, 22, 23, 24, 25};

constexpr int kSaveActivateRow = 21;
constexpr int kClockRow = 29;
constexpr int kEmptyEvery = 7;

} // namespace

const std::vector<CapabilityRow> &CapabilityRows()
{
    // Row, items, kind, format, sync, time-out, re-read, emptied when dead.
    static const std::vector<CapabilityRow> rows = {
        {1, kFwVer, SVT_SV, "%s", false, 0, true, true},
        {2, kCountry, SVT_SV, "%s", false, 0, true, true},
        {3, kTurbo, SVT_SV, "%s", false, 0, true, true},
        {4, kApModes, SVT_SV, "%u", false, 0, true, true},
        {5, kMssid, SVT_SV, "%u", false, 0, true, true},
        {6, kRogue, SVT_SV, "%s", false, 0, true, true},
        {7, kLan, SVT_SV, "%s", false, 0, true, true},
        {8, kIsolated, SVT_SV, "%s", false, 0, true, true},
        {9, kSyslog, SVT_SV, "%s", false, 0, true, true},
        {10, kIndication, SVT_SV, "%s", false, 0, true, true},
        {11, kKeyType, SVT_SV, "%s", false, 0, true, true},
        {12, kWdsSurvey, SVT_SV, "%s", false, 0, true, false},
        {13, kAccounting, SVT_SV, "%s", false, 0, true, false},
        {14, kSntp, SVT_SV, "%s", false, 0, true, false},
        {15, kModeString, SVT_SV, "%s", false, 0, false, false},
        {16, kSmtp, SVT_SV, "%s", false, 0, true, true},
        {17, kSuppress, SVT_SV, "%s", false, 0, true, true},
        {18, kWmm, SVT_SV, "%s", false, 0, true, false},
        {19, kGrouping, SVT_SV, "%s", false, 0, true, false},
        {20, kGrouping, SVT_SV, "%s", false, 0, true, true},
        {21, kSaveActivate, SVT_SV, nullptr, true, 0, false, false},
        {22, kWdsInfo, SVT_SV, "%s", false, 0, true, true},
        {23, kSsl, SVT_SV, "%s", false, 0, true, true},
        {24, kPacketStat, SVT_SV, "%s", false, 0, true, true},
        {25, kLinkStatus, SVT_SV, "%s", false, 0, true, true},
        {26, kApMode, MVT_SV, nullptr, false, 0, true, false},
        {27, kMssidWds, SVT_SV, "%s", false, 0, false, false},
        {28, kSntpMethod, SVT_SV, "%u", true, 1000, false, false},
        {29, kSntpRefresh, SVT_SV, "%s", true, 1000, false, false},
        {30, kDynVlan, SVT_SV, "%s", true, 0, false, false},
        {31, kWmmOverWds, SVT_SV, "%s", true, 0, false, false},
        {32, kPriority, SVT_SV, "%s", true, 0, false, false},
        {33, kIpRange, SVT_SV, "%s", true, 0, false, false},
        {34, kLimitIp, SVT_SV, nullptr, true, 0, false, false},
        {35, kSysIp, SVT_SV, "%s", true, 1000, false, false},
    };
    return rows;
}

TCapabilityProbe::TCapabilityProbe(TMainForm &form) : m_form(form)
{
}

TCapabilityProbe::~TCapabilityProbe()
{
    Clear();
}

void TCapabilityProbe::Clear()
{
    for (auto &b : m_bindings)
        b.reset();
}

KvSNMPRequest2Edits *TCapabilityProbe::Binding(int row) const
{
    return row >= 1 && row <= 35 ? m_bindings[static_cast<std::size_t>(row)].get() : nullptr;
}

std::vector<TControl *> TCapabilityProbe::ControlsOf(int row) const
{
    TMainForm &f = m_form;
    switch (row) {
    case 1:
        return {f.Ed_FwVer};
    case 2:
        return {f.Ed_Countrycode};
    case 3:
        return {f.ED_Turbomode};
    case 4:
        return {f.APModeSupport};
    case 5:
        return {f.ifMultiSSID_Edit};
    case 6:
        return {f.Ed_Rogue};
    case 7:
        return {f.IPAddressEdit, f.SubMaskEdit};
    case 8:
        return {f.NewMultiSupport};
    case 9:
        return {f.SyslogSupport};
    case 10:
        return {f.Ed_ClientAddSSID};
    case 11:
        return {f.Ed_KeyTypeSup};
    case 12:
        return {f.Ed_spWDSSite};
    case 13:
        return {f.Ed_spSNTP};
    case 14:
        return {f.Ed_spAccounting};
    case 15:
        return {f.ApmodeStringChangeSupport};
    case 16:
        return {f.Ed_SpSmtp};
    case 17:
        return {f.Ed_Suppress};
    case 18:
        return {f.Ed_WMM};
    case 19:
        return {f.Ed_Grouping};
    case 20:
        return {f.Ed_ManagerIP};
    case 21:
        return {f.CB_Active, f.CB_Discard};
    case 22:
        return {f.Ed_WDSInfoNotSupport};
    case 23:
        return {f.Ed_SSLSupport};
    case 24:
        return {f.Ed_PacketStatNotSupport};
    case 25:
        return {f.Ed_LinkStatusNotSupport};
    case 26:
        return {f.ED_APModeComboBox};
    case 27:
        return {f.mssidAndWdssupport};
    case 28:
        return {f.Ed_Sntpmethod};
    case 29:
        return {f.Ed_Datetime};
    case 30:
        return {f.Ed_DyvlanSupport};
    case 31:
        return {f.Ed_wmmOverWDSSupported};
    case 32:
        return {f.Ed_prioritybySSIDSupported};
    case 33:
        return {f.Ed_ipRangeSupported};
    case 34:
        return {f.CB_IPStatusSupport};
    case 35:
        return {f.Ed_SysIpaddress};
    default:
        return {};
    }
}

void TCapabilityProbe::BuildRow(const CapabilityRow &row)
{
    auto binding = std::make_unique<KvSNMPRequest2Edits>(&m_form);
    binding->Request.VarList = KvSNMPVarList(row.Items, row.Type, 0);
    if (row.Sync)
        binding->Mode = 0;
    if (row.Timeout > 0)
        binding->Request.Timeout = row.Timeout;
    const std::vector<TControl *> controls = ControlsOf(row.Row);
    if (row.Format == nullptr) {
        for (std::size_t i = 0; i < controls.size(); ++i)
            binding->AssociateCombo(static_cast<int>(i), static_cast<TComboBox *>(controls[i]));
    } else if (row.Row == 7) {
        // Items 1 and 2 of the group (address and mask) are the ones shown.
        binding->AssociateEdits(1, row.Format, static_cast<TEdit *>(controls[0]));
        binding->AssociateEdits(2, row.Format, static_cast<TEdit *>(controls[1]));
    } else {
        binding->AssociateEdits(0, row.Format, static_cast<TEdit *>(controls[0]));
    }
    if (row.EmptiedWhenDead) {
        const int number = row.Row;
        binding->OnGetDone = [this, number](KvSNMPRequest2Controls *, KvSNMPError *e) {
            RowReadDone(number, e);
        };
    }
    m_bindings[static_cast<std::size_t>(row.Row)] = std::move(binding);
}

void TCapabilityProbe::Run()
{
    for (const CapabilityRow &row : CapabilityRows()) {
        BuildRow(row);
        KvSNMPRequest2Edits *b = Binding(row.Row);
        if (row.Row == kSaveActivateRow) {
            ProbeSaveActivate();
        } else if (row.Row == 28) {
            // Bound only: the forms never read it from here.
        } else if (row.Row == kClockRow) {
            WriteClock();
        } else if (row.Sync) {
            // A read that fails leaves the controls as they were.
            std::vector<AnsiString> before;
            for (TControl *c : ControlsOf(row.Row))
                before.push_back(c->Text());
            if (!b->Get()) {
                const std::vector<TControl *> controls = ControlsOf(row.Row);
                for (std::size_t i = 0; i < controls.size(); ++i)
                    controls[i]->SetText(before[i]);
            }
        } else {
            b->Get();
        }
    }
}

void TCapabilityProbe::ProbeSaveActivate()
{
    KvSNMPRequest2Edits *b = Binding(kSaveActivateRow);
    b->LogTarget = m_form.MainStatusBar;
    b->OnSetDone = [this](KvSNMPRequest2Controls *s, KvSNMPError *e) { m_form.SaveActivateDone(s, e); };
    // The first read waits for its answer; a failure reaches the request's result handler.
    int32_t failure = 0;
    b->Request.OnResult = [&failure](KvSNMPError *e) {
        if (e != nullptr && e->Code != 0)
            failure = e->Code;
    };
    b->Mode = 0;
    const bool ok = b->Get();
    b->Request.OnResult = nullptr;
    b->Mode = 1;
    SaveActivateAnswer(ok ? KvSNMPCode::Ok : (failure != 0 ? failure : KvSNMPCode::NoAnswer));
    b->OnGetDone = [this](KvSNMPRequest2Controls *, KvSNMPError *e) {
        if (m_saveActivateUnknown && e != nullptr)
            SaveActivateAnswer(e->Code);
    };
}

void TCapabilityProbe::SaveActivateAnswer(int32_t code)
{
    // Until the device has answered one way or the other (a class error: it did not answer or
    // could not be asked) it is treated as not keeping changes pending; a later answer changes
    // the menu.
    m_saveActivateUnknown = KvSNMPCode::IsClassError(code);
    gSaveActivateSupported = code == 0;
    m_form.UpdateConfigurationMenu();
}

void TCapabilityProbe::WriteClock()
{
    KvSNMPRequest2Edits *b = Binding(kClockRow);
    m_form.Ed_Datetime->SetText(SntpClockTextNow());
    b->Set(true, true, "");
}

void TCapabilityProbe::EmptyRow(int row)
{
    for (TControl *c : ControlsOf(row))
        c->SetText("");
}

void TCapabilityProbe::RowReadDone(int row, KvSNMPError *e)
{
    const auto at = static_cast<std::size_t>(row);
    if (!m_emptyOnFailure[at])
        return;
    m_emptyOnFailure[at] = false;
    if (e != nullptr && e->Code != 0)
        EmptyRow(row);
}

void TCapabilityProbe::Tick(KvSNMPRequest2Controls *ledStatus)
{
    if (m_tickCount == kEmptyEvery) {
        // Only a row whose own re-read fails is emptied, so a form opened in between never
        // finds an empty capability on a device that answers.
        for (const CapabilityRow &row : CapabilityRows())
            if (row.EmptiedWhenDead)
                m_emptyOnFailure[static_cast<std::size_t>(row.Row)] = true;
        m_tickCount = 0;
    }
    auto reread = [this](KvSNMPRequest2Controls *b, int row) {
        // A re-read still waiting for its answer is not asked again: a device slower than the
        // tick (or silent) would otherwise get more requests than it answers, and once it
        // answers again it would first work through that backlog.
        if (b == nullptr || b->IsBusy())
            return;
        ++m_rereads;
        try {
            b->Get();
        } catch (const std::exception &) {
            // Could not even be sent: as for a read that failed.
            if (row > 0) {
                KvSNMPError failed;
                failed.Code = KvSNMPCode::UnknownError;
                RowReadDone(row, &failed);
            }
        }
    };
    reread(ledStatus, 0);
    for (int row : kRereadOrder)
        reread(Binding(row), row);
    if (m_saveActivateUnknown)
        reread(Binding(kSaveActivateRow), 0);
    ++m_tickCount;
}
