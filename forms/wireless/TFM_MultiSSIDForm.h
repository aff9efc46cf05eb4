#pragma once
// Advanced \ Multi-SSID on devices of the older generation: the master SSID (only its VLAN group
// ID is edited here) and three guest SSIDs with their WEP security and VLAN group IDs, plus the
// device's VLAN state.
#include "FormFrame.h"
#include "WriteChain.h"

#include <array>

class TFM_MultiSSIDForm : public TForm {
public:
    explicit TFM_MultiSSIDForm(TComponent *AOwner);

    TPageControl *PageControl1;
    TTabSheet *TabSheet1;
    TCheckBox *CheckBox1;
    TComboBox *VLan_State;
    TGroupBox *GB_Master;
    TLabel *Lab_MasterSSID;
    TEdit *MasterSSIDEdit;
    TLabel *Lab_MasterSecurity;
    TComboBox *SecurityBox;
    TLabel *Lab_DefaultKey;
    TComboBox *DefaultKey;
    TLabel *Lab_GroupID;
    TEdit *GroupIDBox;
    TComboBox *Encryption_ComboBox;
    TCheckBox *Guest1CheckBox, *Guest2CheckBox, *Guest3CheckBox;
    TEdit *GuestSSIDEdit1, *GuestSSIDEdit2, *GuestSSIDEdit3;
    TComboBox *TempComboBox1, *TempComboBox2, *TempComboBox3;
    TComboBox *GuestKeyType1, *GuestKeyType2, *GuestKeyType3;
    TComboBox *GuestKeySize1, *GuestKeySize2, *GuestKeySize3;
    TComboBox *GuestKey1, *GuestKey2, *GuestKey3;
    TEdit *GuestKeyvalueEdit1, *GuestKeyvalueEdit2, *GuestKeyvalueEdit3;
    TEdit *GuestGroupID1, *GuestGroupID2, *GuestGroupID3;
    TComboBox *GuestSSID1, *GuestSSID2, *GuestSSID3;
    TComboBox *GuestSecurity1, *GuestSecurity2, *GuestSecurity3;
    TComboBox *EnableEncryption1, *EnableEncryption2, *EnableEncryption3;
    TComboBox *AP_ModeComboBox;
    TComboBox *Supermode_ComboBox;
    TButton *Bt_Refresh;
    TButton *Bt_Apply;
    TButton *Bt_Close;
    TStatusBar *StatusBar1;

    std::unique_ptr<FormBinding> VlanBinding;
    std::unique_ptr<FormBinding> MasterBinding;
    std::array<std::unique_ptr<FormBinding>, 3> GuestBindings;
    std::unique_ptr<FormBinding> APModeBinding;

    void FormCreate(TObject *Sender);
    void Bt_RefreshClick(TObject *Sender);
    void Bt_ApplyClick(TObject *Sender);
    void Bt_CloseClick(TObject *Sender);
    void CheckBox1Click(TObject *Sender);
    void Guest1CheckBoxClick(TObject *) { GuestCheckBoxClick(1); }
    void Guest2CheckBoxClick(TObject *) { GuestCheckBoxClick(2); }
    void Guest3CheckBoxClick(TObject *) { GuestCheckBoxClick(3); }
    void GuestSecurity1Change(TObject *) { GuestSecurityChange(1); }
    void GuestSecurity2Change(TObject *) { GuestSecurityChange(2); }
    void GuestSecurity3Change(TObject *) { GuestSecurityChange(3); }
    void GuestKeySize1Change(TObject *) { GuestKeySizeChange(1); }
    void GuestKeySize2Change(TObject *) { GuestKeySizeChange(2); }
    void GuestKeySize3Change(TObject *) { GuestKeySizeChange(3); }
    void GuestKeyType1Change(TObject *) { GuestKeySizeChange(1); }
    void GuestKeyType2Change(TObject *) { GuestKeySizeChange(2); }
    void GuestKeyType3Change(TObject *) { GuestKeySizeChange(3); }
    void GuestKey1Change(TObject *) { GuestKeyChange(1); }
    void GuestKey2Change(TObject *) { GuestKeyChange(2); }
    void GuestKey3Change(TObject *) { GuestKeyChange(3); }
    void GuestSSIDEdit1Exit(TObject *) { GuestSSIDEditExit(1); }
    void GuestSSIDEdit2Exit(TObject *) { GuestSSIDEditExit(2); }
    void GuestSSIDEdit3Exit(TObject *) { GuestSSIDEditExit(3); }
    // The same for guest k = 1, 2, 3.
    void GuestCheckBoxClick(int k);
    void GuestSecurityChange(int k);
    void GuestKeySizeChange(int k);
    void GuestKeyChange(int k);
    void GuestSSIDEditExit(int k);

private:
    // The controls of one guest, for the steps that treat the three alike.
    struct Guest {
        TGroupBox *Group;
        TCheckBox *Box;
        TEdit *SSID;
        TComboBox *Temp;
        TComboBox *KeyType;
        TComboBox *KeySize;
        TComboBox *KeyIndex;
        TEdit *Key;
        TEdit *GroupID;
        TComboBox *State;
        TComboBox *Security;
        TComboBox *Encryption;
    };
    Guest &guest(int k) { return m_guests[static_cast<std::size_t>(k - 1)]; }
    bool guestRead(int k) const;
    // The guest's Security box shows the security the device holds and the list lacks (WPA, or
    // both WEP kinds at once): it is kept as it is, its key neither checked nor sent.
    bool keptSecurity(int k) { return ShowsKeptValue(guest(k).Temp); }

    void BuildLayout();
    void BuildGuest(int k, int top);
    void ReadAll();
    // After the reads: the groups that could not be read, named in the status.
    void ShowUnread();
    void ShowVlan();
    void ShowGuests();
    void EnableGuest(int k);
    void EnableGuestKey(int k);
    void SetEncryptionFlags();
    void FillSecurityLists();
    void SetupKeyLists();
    void KeySizesFromKeys();
    void KeyEditLengths();
    void EditLengths();
    bool CheckSSIDs();
    bool CheckGroupIDs();
    bool KeyIndexClash(int k);
    bool SSIDClash(int k);
    bool CheckKeysAndColumns(std::vector<std::pair<int, uint32_t>> &master,
                             std::array<std::vector<std::pair<int, uint32_t>>, 3> &guests);
    bool WriteAll(const std::vector<std::pair<int, uint32_t>> &master,
                  const std::array<std::vector<std::pair<int, uint32_t>>, 3> &guests);

    std::array<Guest, 3> m_guests{};
    WriteChain Chain{this};
};

extern TFM_MultiSSIDForm *FM_MultiSSIDForm;
