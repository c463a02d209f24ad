// CControlFactory: the process-wide table that turns a control class name from a layout
// into a new control. Names are kept lower-cased, so layouts may write them in any case.
#pragma once

#include <map>

#include "UIString.h"

namespace HiveUI {

class CControlUI;

typedef CControlUI* (*CreateClass)();

class CControlFactory {
public:
    virtual ~CControlFactory();
    CControlFactory(const CControlFactory&) = delete;
    CControlFactory& operator=(const CControlFactory&) = delete;

    // Made with the built-in classes on the first call.
    static CControlFactory* GetInstance();
    // Frees the factory at framework termination; a later GetInstance starts afresh.
    static void Release();

    CControlUI* CreateControl(CUIString className);
    // A name already registered keeps its first creator.
    void RegistControl(CUIString className, CreateClass creator);

private:
    CControlFactory();
    struct Less {
        bool operator()(const CUIString& a, const CUIString& b) const { return a.Compare(b) < 0; }
    };

    std::map<CUIString, CreateClass, Less> m_creators;
    static CControlFactory* s_instance;
};

// Registers every built-in class that the framework has; kept in a file of its own.
void RegisterBuiltinControls(CControlFactory& factory);

}  // namespace HiveUI
