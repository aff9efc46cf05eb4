#pragma once
// Advanced \ Encryption: the radio's authentication, WEP keys, WPA pass phrase, cipher and
// group key interval, and the DNS and RADIUS servers of WPA-Enterprise. Keys read from the
// device are never shown: only keys typed again are sent.
#include "FormFrame.h"
#include "WriteChain.h"

#include <array>

// The controls of one band's page (the second band's page is never shown on this device).
struct SecurityPage {
    TComboBox *Auth;
    TComboBox *Encryption;
    TComboBox *KeyType;
    TComboBox *KeySize;
    TComboBox *ValidKey;
    TGroupBox *KeyTable;
    TEdit *HexKey[4];
    TEdit *AsciiKey[4];
    TEdit *PassPhrase;
    TComboBox *Cipher;
    TEdit *Interval;
};

class TFM_Encrypt : public TForm {
public:
    explicit TFM_Encrypt(TComponent *AOwner);

    TPageControl *PC_Encryption;
    TTabSheet *TS_80211a;
    TTabSheet *TS_80211g;
    SecurityPage PageA;
    SecurityPage PageG;
    // Page a under the names of the form's layout.
    TComboBox *&CB_SecAutha = PageA.Auth;
    TComboBox *&CB_SecEncypa = PageA.Encryption;
    TComboBox *&CB_KeyTypeA = PageA.KeyType;
    TComboBox *&CB_KeySizeA = PageA.KeySize;
    TComboBox *&CB_SecValKeya = PageA.ValidKey;
    TGroupBox *&GB_KeyTaba = PageA.KeyTable;
    TEdit *&Ed_PassPha = PageA.PassPhrase;
    TComboBox *&CB_CipherTypea = PageA.Cipher;
    TEdit *&Ed_GKUIa = PageA.Interval;

    TGroupBox *GroupBox2;
    TLabel *Label22;
    TLabel *Label23;
    TEdit *Ed_DNSIP;
    TLabel *Label24;
    TEdit *Ed_DNS;
    TLabel *Label25;
    TEdit *Ed_RadiusSrv2;
    TEdit *Ed_RadiusSrv;
    TLabel *Label26;
    TEdit *Ed_RadiusPort;
    TLabel *Label27;
    TEdit *Ed_RadiusSec;
    TComboBox *CB_11a_APM;
    TEdit *Codebase;
    TButton *Bt_Apply;
    TButton *Bt_Cancel;
    TButton *Bt_Ref;
    TButton *Bt_Adv;
    TStatusBar *StatusBar;

    std::unique_ptr<FormBinding> SecurityReq;
    std::unique_ptr<FormBinding> APModeReq;
    std::unique_ptr<FormBinding> CodebaseReq;
    std::unique_ptr<FormBinding> ServersReq;
    std::unique_ptr<FormBinding> PassPhraseReq;
    std::unique_ptr<FormBinding> PassPhrase2Req;
    // CB_SecAutha's text after the first read and after each successful Apply.
    AnsiString SavedAuthentication;

    void FormCreate(TObject *Sender);
    void Bt_ApplyClick(TObject *Sender);
    void Bt_RefClick(TObject *Sender);
    void Bt_CancelClick(TObject *Sender);
    void Bt_AdvClick(TObject *Sender);
    void CB_SecAuthaChange(TObject *Sender);
    void CB_KeyTypeAChange(TObject *Sender);
    // Read-only and enabled states by the authentication (and the server address shown).
    void Layout();
    // The key edits of page a show as many asterisks as the chosen key size needs.
    void MaskKeysA();
    // The same after keys were read or sent: the hidden HEX edits are masked too.
    void MaskAllKeysA();
    // The key size that fits the valid key as read.
    void KeySizeFromValidKey();
    void FillAuthenticationList();
    void HideDNSRows();
    // What the layout and Apply follow: 0 "Open System" .. 2 "Open System / Shared Key" for
    // the WEP ones, 3 for any Personal and 4 for any Enterprise one (a kept one of the device's
    // too); -1 when nothing is chosen.
    int AuthenticationIndex() const;
    // Key type and size over keys that were read; nothing chosen over keys that were not.
    void ShowKeyChoices();
    // After the reads of an opening or a Refresh: the groups not read, named in the status.
    bool ShowUnread();

private:
    using Flags = std::vector<std::pair<int, uint32_t>>;
    bool checkServers();
    bool checkInput(int auth, Flags &security, Flags &passPhrase);
    bool checkKeys(Flags &security);
    bool writeGroups(bool enterprise, const Flags &security, const Flags &passPhrase);
    // The keys a mask dropped and that were not typed again, named after an Apply's outcome.
    AnsiString RetypeText();
    bool m_dnsShown = true;
    // Per key: typed, then dropped by the mask of a key type, size or valid key change.
    std::array<bool, 4> m_dropped{};
    WriteChain Chain{this};
    TCloseGuard m_guard;
};

extern TFM_Encrypt *FM_Encrypt;
