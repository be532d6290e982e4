// A small dialog framework: a dialog class with a modal run, a message map
// that routes button commands to member functions, run-time class
// information, and the data exchange that moves values between controls and
// members. The toolkit underneath is reached only through platform/os_dialog.h.
#pragma once

#include <cstdint>

#include "platform/os_dialog.h"

class CDialog;

// The standard command ids of a dialog: Enter on a plain Ok, and Escape.
constexpr int IDOK = 1;
constexpr int IDCANCEL = 2;

// ---- run-time class information --------------------------------------------

struct CRuntimeClass {
    const char* m_lpszClassName;
    const CRuntimeClass* m_pBaseClass;
    bool IsDerivedFrom(const CRuntimeClass* base) const;
};

#define RUNTIME_CLASS(cls) (&cls::class##cls)

#define DECLARE_DYNAMIC(cls)               \
public:                                    \
    static const CRuntimeClass class##cls; \
    const CRuntimeClass* GetRuntimeClass() const override;

#define IMPLEMENT_DYNAMIC(cls, base)                                   \
    const CRuntimeClass cls::class##cls = {#cls, RUNTIME_CLASS(base)}; \
    const CRuntimeClass* cls::GetRuntimeClass() const { return RUNTIME_CLASS(cls); }

// ---- message maps ----------------------------------------------------------

using DialogHandler = void (CDialog::*)();

struct MessageMapEntry {
    int notifyCode;
    int id;
    DialogHandler handler;  // null ends the table
};

struct MessageMap {
    const MessageMap* base;  // consulted when no entry of this map matches
    const MessageMapEntry* entries;
};

#define DECLARE_MESSAGE_MAP()                       \
protected:                                          \
    static const MessageMapEntry messageEntries_[]; \
    static const MessageMap messageMap_;            \
    const MessageMap* GetMessageMap() const override;

#define BEGIN_MESSAGE_MAP(cls, base)                                                \
    const MessageMap* cls::GetMessageMap() const { return &cls::messageMap_; }      \
    const MessageMap cls::messageMap_ = {&base::messageMap_, cls::messageEntries_}; \
    const MessageMapEntry cls::messageEntries_[] = {
#define ON_COMMAND(id, memberFn) {os::kButtonClicked, id, static_cast<DialogHandler>(memberFn)},
#define ON_BN_CLICKED(id, memberFn) {os::kButtonClicked, id, static_cast<DialogHandler>(memberFn)},

#define END_MESSAGE_MAP() \
    { 0, 0, nullptr }     \
    }                     \
    ;

// ---- data exchange -----------------------------------------------------------

class CDataExchange {
public:
    CDataExchange(os::DialogWindow* dialog, bool saveAndValidate)
        : m_pDlgWnd(dialog), m_bSaveAndValidate(saveAndValidate) {}

    os::DialogWindow* m_pDlgWnd;
    bool m_bSaveAndValidate;  // true: controls to members; false: members to controls
    bool m_bFailed = false;   // set by an exchange step that could not be made
};

// The radio group that starts at control firstId: the buttons from it up to
// the next group start, numbered from 0 (other controls in between are
// skipped). Loading checks button number value and clears the rest; saving
// sets value to the checked button's number, or -1.
void DDX_Radio(CDataExchange* pDX, int firstId, int& value);

// ---- the dialog --------------------------------------------------------------

class CDialog : private os::DialogEvents {
public:
    static const CRuntimeClass classCDialog;

    explicit CDialog(int templateId, void* parentWindow = nullptr);

    virtual const CRuntimeClass* GetRuntimeClass() const;
    virtual ~CDialog();

    bool IsKindOf(const CRuntimeClass* runtimeClass) const;

    // Shows the dialog modally and returns how it ended: the value given to
    // EndDialog, or -1 when the template cannot be loaded or the initial
    // exchange fails.
    intptr_t DoModal();

    // Runs the data exchange in one direction; false when a step failed.
    bool UpdateData(bool saveAndValidate = true);

    void EndDialog(intptr_t result);

protected:
    static const MessageMapEntry messageEntries_[];
    static const MessageMap messageMap_;
    virtual const MessageMap* GetMessageMap() const;
    virtual void DoDataExchange(CDataExchange* pDX);

    // The framework's defaults: load the controls from the members (ending
    // the run with -1 if that fails); read them and end with IDOK; end with
    // IDCANCEL.
    virtual bool OnInitDialog();
    virtual void OnOK();
    virtual void OnCancel();

    os::DialogWindow* m_hWnd = nullptr;  // the live dialog during DoModal

private:
    void OnInit(os::DialogWindow* dialog) override;
    void OnCommand(os::DialogWindow* dialog, int id, int notifyCode) override;

    int templateId_;
    void* parentWindow_;
};

// The templates this module carries, by resource id; null for an unknown id.
const DialogTemplate* FindDialogTemplate(int templateId);
