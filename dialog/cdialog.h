// A small dialog framework: a dialog class with a modal run, a message map
// that routes button commands to member functions, run-time class
// information, and the data exchange that moves values between controls and
// members. The toolkit underneath is reached only through platform/os_dialog.h.
//
// The names (CDialog, DoModal, m_hWnd, DDX_Radio, BEGIN_MESSAGE_MAP ...) are
// deliberately those of the Windows dialog framework: the settings dialog is
// written as that framework's dialogs are, and reads the same to anyone who
// knows it. They are the framework's vocabulary, not this project's style.
#pragma once

#include <cstdint>

#include "platform/os_dialog.h"

class CDialog;

// The standard command ids of a dialog: Enter on a plain Ok, and Escape.
constexpr int IDOK = os::kOkCommand;
constexpr int IDCANCEL = os::kCancelCommand;

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

    // A dialog without a parent window: the toolkit decides its owner.
    explicit CDialog(int templateId);

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

    // What the toolkit calls: the dialog is up; a command came, which the
    // message map routes by control id and notification code. Derived
    // dialogs may send themselves a command a keyboard cannot.
    void OnInit(os::DialogWindow* dialog) override;
    void OnCommand(os::DialogWindow* dialog, int id, int notifyCode) override;

private:
    int templateId_;
};

// The templates this module carries, by resource id; null for an unknown id.
const os::DialogTemplate* FindDialogTemplate(int templateId);
