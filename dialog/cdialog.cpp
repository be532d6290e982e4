#include "dialog/cdialog.h"

bool CRuntimeClass::IsDerivedFrom(const CRuntimeClass* base) const {
    for (const CRuntimeClass* c = this; c != nullptr; c = c->m_pBaseClass) {
        if (c == base) return true;
    }
    return false;
}

const CRuntimeClass CDialog::classCDialog = {"CDialog", nullptr};

// The framework's own routing: a plain Ok and the cancel that Escape sends.
const MessageMapEntry CDialog::messageEntries_[] = {
    {os::kButtonClicked, IDOK, &CDialog::OnOK},
    {os::kButtonClicked, IDCANCEL, &CDialog::OnCancel},
    {0, 0, nullptr},
};
const MessageMap CDialog::messageMap_ = {nullptr, CDialog::messageEntries_};

CDialog::CDialog(int templateId) : templateId_(templateId) {}

CDialog::~CDialog() = default;

const CRuntimeClass* CDialog::GetRuntimeClass() const { return &classCDialog; }

bool CDialog::IsKindOf(const CRuntimeClass* runtimeClass) const {
    return GetRuntimeClass()->IsDerivedFrom(runtimeClass);
}

const MessageMap* CDialog::GetMessageMap() const { return &messageMap_; }

void CDialog::DoDataExchange(CDataExchange*) {}

intptr_t CDialog::DoModal() {
    const os::DialogTemplate* dialogTemplate = FindDialogTemplate(templateId_);
    if (dialogTemplate == nullptr) return -1;
    const intptr_t result = os::RunModalDialog(*dialogTemplate, *this);
    m_hWnd = nullptr;
    return result;
}

bool CDialog::UpdateData(bool saveAndValidate) {
    if (m_hWnd == nullptr) return false;
    CDataExchange dx(m_hWnd, saveAndValidate);
    DoDataExchange(&dx);
    return !dx.m_bFailed;
}

void CDialog::EndDialog(intptr_t result) {
    if (m_hWnd != nullptr) os::EndModalDialog(m_hWnd, result);
}

bool CDialog::OnInitDialog() {
    if (!UpdateData(false)) {
        EndDialog(-1);
        return false;
    }
    return true;
}

void CDialog::OnOK() {
    if (!UpdateData(true)) return;  // a failed read keeps the dialog open
    EndDialog(IDOK);
}

void CDialog::OnCancel() { EndDialog(IDCANCEL); }

void CDialog::OnInit(os::DialogWindow* dialog) {
    m_hWnd = dialog;
    OnInitDialog();
}

void CDialog::OnCommand(os::DialogWindow* dialog, int id, int notifyCode) {
    m_hWnd = dialog;
    for (const MessageMap* map = GetMessageMap(); map != nullptr; map = map->base) {
        for (const MessageMapEntry* e = map->entries; e->handler != nullptr; ++e) {
            if (e->id == id && e->notifyCode == notifyCode) {
                (this->*(e->handler))();
                return;
            }
        }
    }
}

void DDX_Radio(CDataExchange* pDX, int firstId, int& value) {
    os::ControlWindow* first = os::DialogItem(pDX->m_pDlgWnd, firstId);
    if (first == nullptr || !os::StartsGroup(first) || !os::IsRadioButton(first)) {
        pDX->m_bFailed = true;
        return;
    }
    if (pDX->m_bSaveAndValidate) value = -1;
    int number = 0;
    for (os::ControlWindow* c = first; c != nullptr; c = os::NextChild(c)) {
        if (c != first && os::StartsGroup(c)) break;
        if (!os::IsRadioButton(c)) continue;  // group boxes and the like get no number
        if (pDX->m_bSaveAndValidate) {
            if (os::IsButtonChecked(c)) value = number;
        } else {
            os::SetButtonChecked(c, number == value);
        }
        ++number;
    }
}
