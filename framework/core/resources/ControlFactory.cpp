#include "ControlFactory.h"

namespace HiveUI {

// A heap object rather than a function-local static, so that Release may delete it.
CControlFactory* CControlFactory::s_instance = nullptr;

CControlFactory::CControlFactory() = default;

CControlFactory::~CControlFactory() { m_creators.clear(); }

CControlFactory* CControlFactory::GetInstance() {
    if (s_instance == nullptr) {
        s_instance = new CControlFactory;
        RegisterBuiltinControls(*s_instance);
    }
    return s_instance;
}

void CControlFactory::Release() {
    delete s_instance;
    s_instance = nullptr;
}

CControlUI* CControlFactory::CreateControl(CUIString className) {
    className.MakeLower();
    const auto found = m_creators.find(className);
    return found == m_creators.end() ? nullptr : found->second();
}

void CControlFactory::RegistControl(CUIString className, CreateClass creator) {
    if (creator == nullptr) return;
    className.MakeLower();
    m_creators.emplace(className, creator);
}

}  // namespace HiveUI
