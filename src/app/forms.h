#pragma once
// Every window is created once at start, hidden, and lives until the program ends; windows reach one
// another through these pointers (null until that window is created).

namespace orv {

class TCalMainForm;
class TDeskDlg1;
class TToDoDlg;
class TChgUserDlg;
class TEditUserDlg;
class TAddUserDlg;
class TOptionDlg;
class TfrmAbout1;
class TDSDlg;
class TExplainDlg;
class TImgHolder;
class TImageDlg;
class TAnnualDlg;
class TRemindDlg;
class TCheckDlg;
class TAgentDlg;
class TNameErrorDlg;

struct Forms {
    TCalMainForm* CalMainForm = nullptr;
    TImageDlg* ImageDlg = nullptr;
    TDeskDlg1* DeskDlg1 = nullptr;
    TToDoDlg* ToDoDlg = nullptr;
    TChgUserDlg* ChgUserDlg = nullptr;
    TEditUserDlg* EditUserDlg = nullptr;
    TAddUserDlg* AddUserDlg = nullptr;
    TNameErrorDlg* NameErrorDlg = nullptr;
    TOptionDlg* OptionDlg = nullptr;
    TfrmAbout1* frmAbout1 = nullptr;
    TDSDlg* DSDlg = nullptr;
    TExplainDlg* ExplainDlg = nullptr;
    TImgHolder* ImgHolder = nullptr;
    TAnnualDlg* AnnualDlg = nullptr;
    TRemindDlg* RemindDlg = nullptr;
    TCheckDlg* CheckDlg = nullptr;
    TAgentDlg* AgentDlg = nullptr;
};

Forms& forms();

}  // namespace orv
