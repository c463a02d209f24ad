// CNotifyPump and its message maps: a window class lists, per notification type and
// control name, the member that handles it; the pump walks the class's map and then the
// maps of its bases.
#pragma once

#include <windows.h>

#include "NotifyUI.h"
#include "UIString.h"
#include "UIStringMap.h"

namespace HiveUI {

class CNotifyPump;

typedef void (CNotifyPump::*NotifyHandlerProc)(TNotifyInfo& msg);
typedef void (CNotifyPump::*ParamHandlerProc)(WPARAM wParam, LPARAM lParam);

// Signature kinds of a map entry; 0 ends the entries.
enum : int { kMsgSigEnd = 0, kMsgSigParams = 1, kMsgSigNotify = 2 };

union TMsgHandler {
    NotifyHandlerProc notify;
    ParamHandlerProc params;
};

struct TMsgMapEntry {
    CUIString sMsgType;
    CUIString sCtrlName;  // empty: any sender
    int nSig = kMsgSigEnd;
    TMsgHandler handler = {nullptr};
};

struct TMsgMap {
    const TMsgMap* pBaseMap;
    const TMsgMapEntry* pEntries;
};

// Entries for a derived class's member: the member is reached through the pump base.
template <class T>
TMsgMapEntry MsgNotifyEntry(const wchar_t* type, const wchar_t* control, void (T::*handler)(TNotifyInfo&)) {
    TMsgMapEntry entry;
    entry.sMsgType = type;
    entry.sCtrlName = control;
    entry.nSig = kMsgSigNotify;
    entry.handler.notify = static_cast<NotifyHandlerProc>(handler);
    return entry;
}

template <class T>
TMsgMapEntry MsgParamsEntry(const wchar_t* type, const wchar_t* control, void (T::*handler)(WPARAM, LPARAM)) {
    TMsgMapEntry entry;
    entry.sMsgType = type;
    entry.sCtrlName = control;
    entry.nSig = kMsgSigParams;
    entry.handler.params = static_cast<ParamHandlerProc>(handler);
    return entry;
}

inline TMsgMapEntry MsgMapEnd() { return TMsgMapEntry(); }

class CNotifyPump {
public:
    CNotifyPump() = default;
    virtual ~CNotifyPump() = default;
    CNotifyPump(const CNotifyPump&) = delete;
    CNotifyPump& operator=(const CNotifyPump&) = delete;

    bool Dispatch(TNotifyInfo& msg);
    bool DispatchThroughMaps(TNotifyInfo& msg);
    static const TMsgMapEntry* FindMessageEntry(const TMsgMapEntry* entries, const TNotifyInfo& msg);

protected:
    virtual const TMsgMap* GetMessageMap() const;

    // Sub-pumps by virtual-window name.
    CUIStringMap m_virtualWnds{83};
};

}  // namespace HiveUI
