#include "dialog/csettings.h"

#include "dialog/settings_resource.h"

IMPLEMENT_DYNAMIC(CSettings, CDialog)

CSettings::CSettings() : CDialog(IDD_SETTINGS) {}

CSettings::~CSettings() = default;

void CSettings::DoDataExchange(CDataExchange* pDX) {
    DDX_Radio(pDX, IDC_C_STYLE, m_nProjectStyle);
    DDX_Radio(pDX, IDC_CSV, m_nResultsFile);
}

BEGIN_MESSAGE_MAP(CSettings, CDialog)
ON_BN_CLICKED(IDC_OK, &CSettings::OnOkButton)
ON_BN_CLICKED(IDC_CANCEL, &CSettings::OnCancelButton)
ON_BN_CLICKED(IDC_C_STYLE, &CSettings::OnProjectStyle)
ON_BN_CLICKED(IDC_PASCAL_STYLE, &CSettings::OnProjectStyle)
END_MESSAGE_MAP()

// Ok ends with IDOK whatever the reading returned (the framework's own Ok
// would keep the dialog open after a failed read).
void CSettings::OnOkButton() {
    UpdateData(true);
    EndDialog(IDOK);
}

// Cancel ends with IDCANCEL and reads nothing.
void CSettings::OnCancelButton() { EndDialog(IDCANCEL); }

// A project-style click is read into the members at once.
void CSettings::OnProjectStyle() { UpdateData(true); }
