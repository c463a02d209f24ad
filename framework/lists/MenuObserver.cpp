#include "MenuObserver.h"

#include <algorithm>

namespace HiveUI {

void MenuReceiverImpl::AddObserver(MenuObserverImpl* observer) { m_observers.push_back(observer); }

void MenuReceiverImpl::RemoveObserver() {
    for (MenuObserverImpl* observer : m_observers) observer->RemoveReceiver(this);
    m_observers.clear();
}

void MenuObserverImpl::AddReceiver(MenuMenuReceiverImplBase* receiver) {
    if (receiver == nullptr) return;
    m_receivers.push_back(receiver);
    receiver->AddObserver(this);
}

void MenuObserverImpl::RemoveReceiver(MenuMenuReceiverImplBase* receiver) {
    if (receiver == nullptr) return;
    auto found = std::find(m_receivers.begin(), m_receivers.end(), receiver);
    if (found != m_receivers.end()) m_receivers.erase(found);
}

BOOL MenuObserverImpl::RBroadcast(TMenuBroadcastParam param) {
    // A receiver may leave the chain while it receives; work on a copy, last first.
    const std::vector<MenuMenuReceiverImplBase*> receivers = m_receivers;
    for (auto it = receivers.rbegin(); it != receivers.rend(); ++it) {
        if (std::find(m_receivers.begin(), m_receivers.end(), *it) != m_receivers.end()) (*it)->Receive(param);
    }
    return TRUE;
}

void MenuObserverImpl::SetManager(CPaintManagerUI* manager) {
    if (manager != nullptr) m_manager = manager;
}

void MenuObserverImpl::ForgetManager(CPaintManagerUI* manager) {
    if (m_manager == manager) m_manager = nullptr;
}

MenuObserverImpl& GetMenuObserver() {
    static MenuObserverImpl observer;
    return observer;
}

}  // namespace HiveUI
