// The settings dialog every report run shows first: a project style and a
// results-file type, and Ok or Cancel. Only Ok lets the run write its report;
// the two selections are read back but change nothing that is written.
#pragma once

#include <cstdint>

#include "dialog/cdialog.h"

class CSettings : public CDialog {
    DECLARE_DYNAMIC(CSettings)

public:
    CSettings();
    ~CSettings() override;

    int32_t m_nProjectStyle = 0;  // 0 "C style project", 1 "Pascal style project", -1 none
    int32_t m_nResultsFile = 0;   // 0 ".csv", 1 ".VizizaVara", -1 none

protected:
    void DoDataExchange(CDataExchange* pDX) override;

private:
    void OnOkButton();
    void OnCancelButton();
    void OnProjectStyle();

    DECLARE_MESSAGE_MAP()
};
