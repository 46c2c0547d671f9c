#pragma once
// The control identifiers of the Win32 operator windows, for the windows themselves, the shell
// and the window tests (GetDlgItem). OK and Cancel use the dialog manager's own IDOK and
// IDCANCEL, so Enter and Escape reach them through IsDialogMessage.

namespace korvex::win32ui::id {

// frmChequeData and frmChequeFull
inline constexpr int cmdOK = 1;      // IDOK
inline constexpr int cmdCancel = 2;  // IDCANCEL
inline constexpr int ChequeNum = 101;
inline constexpr int BankNum = 102;
inline constexpr int BranchNum = 103;
inline constexpr int AccountNum = 104;
inline constexpr int txtAmount = 105;
inline constexpr int txtDate = 106;
inline constexpr int VerifyCode = 107;
inline constexpr int Image1 = 108;
inline constexpr int Label1 = 110;  // the instructions at the top; other labels have no id

// frmManuallDebug ("Cont" is the default button, so Enter continues)
inline constexpr int cmdCont = 1;  // IDOK
inline constexpr int Command2 = 205;
inline constexpr int cmbBank = 201;
inline constexpr int cmbBranch = 202;
inline constexpr int cmbAcc = 203;

// frmDetails
inline constexpr int cmbProfiles = 301;
inline constexpr int LastDataSent = 302;
inline constexpr int Copy = 303;
inline constexpr int ReaderData = 304;
inline constexpr int ManualData = 305;
inline constexpr int TryString = 306;
inline constexpr int picOvraLogo = 307;
inline constexpr int DetailsLabel1 = 308;

}  // namespace korvex::win32ui::id
