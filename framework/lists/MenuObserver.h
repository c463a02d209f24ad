// The chain of open menu windows: every menu window is a receiver of the one observer
// of the process, which closes the right windows with a broadcast and knows where item
// clicks are reported and where check states live.
#pragma once

#include <windows.h>

#include <vector>

namespace HiveUI {

class CPaintManagerUI;
class CUIStringMap;
class MenuObserverImpl;

// What a broadcast asks of the menu windows.
enum MenuBroadcastKind : UINT {
    kMenuCloseAll = 1,
    // Close the menu windows that descend from the sending window.
    kMenuCloseDescendants = 2,
};

struct TMenuBroadcastParam {
    UINT nKind;
    HWND hWnd;
};

class MenuMenuReceiverImplBase {
public:
    virtual ~MenuMenuReceiverImplBase() = default;
    virtual void AddObserver(MenuObserverImpl* observer) = 0;
    virtual void RemoveObserver() = 0;
    virtual BOOL Receive(TMenuBroadcastParam param) = 0;
};

class MenuReceiverImpl : public MenuMenuReceiverImplBase {
public:
    void AddObserver(MenuObserverImpl* observer) override;
    void RemoveObserver() override;

private:
    std::vector<MenuObserverImpl*> m_observers;
};

class MenuMenuObserverImplBase {
public:
    virtual ~MenuMenuObserverImplBase() = default;
    virtual void AddReceiver(MenuMenuReceiverImplBase* receiver) = 0;
    virtual void RemoveReceiver(MenuMenuReceiverImplBase* receiver) = 0;
    virtual BOOL RBroadcast(TMenuBroadcastParam param) = 0;
};

class MenuObserverImpl : public MenuMenuObserverImplBase {
public:
    void AddReceiver(MenuMenuReceiverImplBase* receiver) override;
    void RemoveReceiver(MenuMenuReceiverImplBase* receiver) override;
    BOOL RBroadcast(TMenuBroadcastParam param) override;
    void SetManager(CPaintManagerUI* manager);
    CPaintManagerUI* GetManager() const { return m_manager; }
    void SetMenuCheckInfo(CUIStringMap* map) { m_checkInfo = map; }
    CUIStringMap* GetMenuCheckInfo() const { return m_checkInfo; }
    // Forgets the owner's manager once its window is gone, so that no click is reported
    // into a freed manager.
    void ForgetManager(CPaintManagerUI* manager);

    // The receivers from the first added to the last.
    const std::vector<MenuMenuReceiverImplBase*>& Receivers() const { return m_receivers; }

private:
    std::vector<MenuMenuReceiverImplBase*> m_receivers;
    CPaintManagerUI* m_manager = nullptr;
    CUIStringMap* m_checkInfo = nullptr;
};

MenuObserverImpl& GetMenuObserver();

}  // namespace HiveUI
